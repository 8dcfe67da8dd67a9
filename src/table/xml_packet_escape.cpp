// The escaped form of string values in the XML form (docs/notes-file-format.md):
// a string field that holds a character XML 1.0 cannot carry, not even as a
// character reference (NUL and the other control characters but tab, line
// feed and carriage return; U+FFFE, U+FFFF), is written with ESCAPE="\" and
// every value of it escaped: a backslash as two, every byte of such a
// character as \xHH (a byte that is not UTF-8 too, though the writer refuses
// such a value first). Both readers decode it here.

#include "table/table_store.h"
#include "table/xml_packet.h"

namespace bw::dataset {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The length of the character XML can carry at p, 0 when there is none: a
// byte that starts no well-formed UTF-8 sequence, or a character XML refuses.
qsizetype xmlCharLength(const unsigned char *p, const unsigned char *end)
{
    const unsigned char c = *p;
    if (c < 0x80)
        return c >= 0x20 || c == '\t' || c == '\n' || c == '\r' ? 1 : 0;
    char32_t cp = 0;
    const int length = utf8SequenceAt(p, end, cp);
    return cp == 0xFFFE || cp == 0xFFFF ? 0 : length;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

QByteArray escapeXmlString(const QByteArray &value)
{
    QByteArray out;
    out.reserve(value.size() + 16);
    const auto *p = reinterpret_cast<const unsigned char *>(value.constData());
    const auto *end = p + value.size();
    while (p < end) {
        if (*p == '\\') {
            out.append("\\\\");
            ++p;
            continue;
        }
        const qsizetype length = xmlCharLength(p, end);
        if (length > 0) {
            out.append(reinterpret_cast<const char *>(p), length);
            p += length;
            continue;
        }
        out.append("\\x");
        out.append(kHexDigits[*p >> 4]);
        out.append(kHexDigits[*p & 0xF]);
        ++p;
    }
    return out;
}

std::optional<QByteArray> unescapeXmlString(const QByteArray &escaped)
{
    QByteArray out("");
    out.reserve(escaped.size());
    for (qsizetype i = 0; i < escaped.size(); ++i) {
        const char c = escaped[i];
        if (c != '\\') {
            out.append(c);
            continue;
        }
        if (i + 1 < escaped.size() && escaped[i + 1] == '\\') {
            out.append('\\');
            ++i;
            continue;
        }
        if (escaped.size() - i < 4 || escaped[i + 1] != 'x')
            return std::nullopt; // a backslash escapes nothing else
        const int high = hexValue(escaped[i + 2]);
        const int low = hexValue(escaped[i + 3]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out.append(char(high * 16 + low));
        i += 3;
    }
    return out;
}

} // namespace bw::dataset
