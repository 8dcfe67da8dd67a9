#pragma once
// One paragraph of many megabytes, for the benches of long lines.

#include <QByteArray>

enum class Kind { OneLine, Words };

// A paragraph of `size` bytes: letters and digits without a place to break
// the line, or words of two to nine letters.
inline QByteArray makeText(Kind kind, qsizetype size)
{
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray text;
    text.reserve(size + 64);
    quint32 seed = 12345;
    while (text.size() < size) {
        seed = seed * 1103515245u + 12345u;
        if (kind == Kind::OneLine) {
            text += kLetters[(seed >> 16) % 62];
        } else {
            const int length = 2 + int((seed >> 16) % 8);
            for (int i = 0; i < length; ++i)
                text += char('a' + (seed >> (i + 3)) % 26);
            text += ' ';
        }
    }
    return text;
}

// That paragraph as the RTF of a description.
inline QByteArray makeDescription(Kind kind, qsizetype megabytes)
{
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Verdana;}}"
           "\\viewkind4\\uc1\\pard\\f0\\fs20 " +
           makeText(kind, megabytes * 1024 * 1024) + "\\par\n}";
}
