#include "editor/char_type.h"

#include <QLocale>

namespace bw {

namespace {

// The letters of the 8-bit character set that word case capitalises by
// clearing their bit 0x20: a to z, and å, æ, ø (0xE5, 0xE6, 0xF8).
bool capitalisable(char16_t c)
{
    return (c >= u'a' && c <= u'z') || c == 0xE5 || c == 0xE6 || c == 0xF8;
}

} // namespace

QString wordCase(const QString &text)
{
    QString result = text;
    bool wordStart = true;
    for (QChar &ch : result) {
        char16_t c = ch.unicode();
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c | 0x20);
        if (wordStart && capitalisable(c))
            c = char16_t(c & ~0x20);
        ch = QChar(c);
        wordStart = c == u' ';
    }
    return result;
}

QString changeCharType(const QString &text, CharType type)
{
    switch (type) {
    case CharType::Lowercase:
        return QLocale().toLower(text);
    case CharType::Uppercase:
        return QLocale().toUpper(text);
    case CharType::WordCase:
        return wordCase(text);
    }
    return text;
}

} // namespace bw
