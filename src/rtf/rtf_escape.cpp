#include "rtf/rtf_escape.h"

#include <array>

namespace bw::rtf {
namespace {

// Code page 1252 bytes 0x80..0x9F; the rest is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char kHexDigits[] = "0123456789abcdef";

// Characters the writer spells as a control word or symbol.
const char *specialSpelling(char16_t c)
{
    switch (c) {
    case u'\\':
        return "\\\\";
    case u'{':
        return "\\{";
    case u'}':
        return "\\}";
    case 0x0009:
        return "\\tab ";
    case 0x2028:
        return "\\line ";
    case 0x00A0:
        return "\\~";
    case 0x00AD:
        return "\\-";
    case 0x2011:
        return "\\_";
    default:
        return nullptr;
    }
}

} // namespace

char16_t cp1252ToUnicode(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : char16_t(byte);
}

int unicodeToCp1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == c)
            return 0x80 + i;
    }
    return -1;
}

void appendHexByte(QByteArray &out, unsigned char byte)
{
    const char bytes[4] = {'\\', '\'', kHexDigits[byte >> 4], kHexDigits[byte & 15]};
    out.append(bytes, 4);
}

void appendUnicode(QByteArray &out, char16_t unit, unsigned char fallback)
{
    out.append("\\u");
    out.append(QByteArray::number(int(static_cast<std::int16_t>(unit))));
    if (fallback < 0x80 && fallback != '\\' && fallback != '{' && fallback != '}')
        out.append(char(fallback));
    else
        appendHexByte(out, fallback);
}

void appendEscapedText(QByteArray &out, QStringView text, bool &delimit)
{
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (const char *spelling = specialSpelling(c)) {
            out.append(spelling);
            delimit = false;
            continue;
        }
        if (delimit) {
            out.append(' ');
            delimit = false;
        }
        if (c >= 0x20 && c < 0x80) {
            out.append(char(c));
            continue;
        }
        const int byte = unicodeToCp1252(c);
        if (byte >= 0x80)
            appendHexByte(out, static_cast<unsigned char>(byte));
        else if (byte >= 0) // other control characters
            appendHexByte(out, static_cast<unsigned char>(byte));
        else
            appendUnicode(out, c);
    }
}

void appendHexData(QByteArray &out, const QByteArray &data, int lineLength)
{
    const int bytesPerLine = std::max(1, lineLength / 2);
    out.reserve(out.size() + data.size() * 2 + data.size() / bytesPerLine + 2);
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (i % bytesPerLine == 0)
            out.append('\n');
        const auto byte = static_cast<unsigned char>(data[i]);
        out.append(kHexDigits[byte >> 4]);
        out.append(kHexDigits[byte & 15]);
    }
    out.append('\n');
}

void HexAccumulator::feed(std::string_view text)
{
    for (const char c : text) {
        const int value = hexValue(c);
        if (value < 0)
            continue;
        if (m_high < 0) {
            m_high = value;
        } else {
            m_bytes.append(char(m_high * 16 + value));
            m_high = -1;
        }
    }
}

void HexAccumulator::clear()
{
    m_bytes.clear();
    m_high = -1;
}

} // namespace bw::rtf
