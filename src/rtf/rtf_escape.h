#pragma once
// Escaping shared by the RTF reader and writer: hex digits, \'hh bytes of
// code page 1252, \uN with an ANSI fallback, and RTF-safe text.

#include <QByteArray>
#include <QStringView>

#include <string_view>

namespace bw::rtf {

// The value of a hex digit, or -1.
inline int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The character of a byte in code page 1252 (undefined bytes map to the
// same code point, as Windows does).
char16_t cp1252ToUnicode(unsigned char byte);

// The byte of a character in code page 1252, or -1 when it has none.
int unicodeToCp1252(char16_t character);

// Appends \'hh (lower-case hex, as the system control writes it).
void appendHexByte(QByteArray &out, unsigned char byte);

// Appends \uN followed by the one-byte fallback `fallback` (\uc1).
void appendUnicode(QByteArray &out, char16_t unit, unsigned char fallback = '?');

// Appends text as RTF: ASCII as is (with \\, \{ and \} escaped), tab, line
// separator and the special spaces and hyphens as their control words or
// symbols, other code page 1252 characters as \'hh, the rest as \uN?.
// `delimit` is set when the last thing written was a control word, so a
// space is put before the text; it is cleared on return.
void appendEscapedText(QByteArray &out, QStringView text, bool &delimit);

// Appends the bytes as hex digits, a line break every `lineLength` digits.
void appendHexData(QByteArray &out, const QByteArray &data, int lineLength = 128);

// Collects the bytes of hex digits that arrive in pieces, skipping anything
// else; an odd last digit is dropped.
class HexAccumulator
{
public:
    void feed(std::string_view text);
    void append(const QByteArray &bytes) { m_bytes.append(bytes); }
    const QByteArray &bytes() const { return m_bytes; }
    void clear();

private:
    QByteArray m_bytes;
    int m_high = -1;
};

} // namespace bw::rtf
