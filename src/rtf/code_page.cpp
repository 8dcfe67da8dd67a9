#include "rtf/code_page.h"

#include "rtf/rtf_escape.h"

#include <cerrno>
#include <iconv.h>

namespace bw::rtf {
namespace {

QByteArray iconvName(int codePage)
{
    switch (codePage) {
    case 10000:
        return "MACINTOSH";
    case 20127:
        return "ASCII";
    case 28591:
        return "ISO-8859-1";
    default:
        return "CP" + QByteArray::number(codePage);
    }
}

// An iconv converter to UTF-16 (host order), closed when it goes.
class IconvHandle
{
public:
    explicit IconvHandle(int codePage)
        : m_cd(iconv_open("UTF-16LE", iconvName(codePage).constData()))
    {
    }
    ~IconvHandle()
    {
        if (valid())
            iconv_close(m_cd);
    }
    IconvHandle(const IconvHandle &) = delete;
    IconvHandle &operator=(const IconvHandle &) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts the bytes; an undecodable byte becomes U+FFFD.
    QString convert(const QByteArray &bytes)
    {
        QString result;
        std::u16string buffer(std::size_t(bytes.size()) * 2 + 8, u'\0');
        char *in = const_cast<char *>(bytes.constData());
        std::size_t inLeft = std::size_t(bytes.size());
        while (inLeft > 0) {
            char *out = reinterpret_cast<char *>(buffer.data());
            std::size_t outLeft = buffer.size() * 2;
            const std::size_t rc = iconv(m_cd, &in, &inLeft, &out, &outLeft);
            const auto produced = (buffer.size() * 2 - outLeft) / 2;
            result.append(QStringView(buffer.data(), qsizetype(produced)));
            if (rc == std::size_t(-1) && errno != E2BIG && inLeft > 0) {
                result.append(QChar::ReplacementCharacter);
                ++in;
                --inLeft;
                iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
            }
        }
        char *out = reinterpret_cast<char *>(buffer.data());
        std::size_t outLeft = buffer.size() * 2;
        iconv(m_cd, nullptr, nullptr, &out, &outLeft);
        result.append(QStringView(buffer.data(), qsizetype((buffer.size() * 2 - outLeft) / 2)));
        return result;
    }

private:
    iconv_t m_cd;
};

} // namespace

int codePageForCharset(int charset, int ansiCodePage)
{
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 255:
        return 437;
    default:
        return ansiCodePage;
    }
}

bool CodePageDecoder::isMultiByte(int codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 ||
           codePage == 1361;
}

const CodePageDecoder::Table &CodePageDecoder::table(int codePage)
{
    if (m_lastTable && m_lastCodePage == codePage)
        return *m_lastTable;
    auto it = m_tables.find(codePage);
    if (it == m_tables.end())
        it = m_tables.emplace(codePage, buildTable(codePage)).first;
    m_lastCodePage = codePage;
    m_lastTable = &it->second;
    return it->second;
}

CodePageDecoder::Table CodePageDecoder::buildTable(int codePage)
{
    Table table;
    for (int byte = 0; byte < 256; ++byte)
        table[std::size_t(byte)] = cp1252ToUnicode(static_cast<unsigned char>(byte));
    IconvHandle handle(codePage);
    if (codePage != 1252 && handle.valid()) {
        for (int byte = 0x80; byte < 256; ++byte) {
            const QString decoded = handle.convert(QByteArray(1, char(byte)));
            if (decoded.size() == 1 && decoded[0] != QChar::ReplacementCharacter)
                table[std::size_t(byte)] = decoded[0].unicode();
        }
    }
    return table;
}

QString CodePageDecoder::decode(int codePage, const QByteArray &bytes)
{
    QString text;
    decodeAppend(codePage, bytes, text);
    return text;
}

void CodePageDecoder::decodeAppend(int codePage, const QByteArray &bytes, QString &text)
{
    if (!isMultiByte(codePage)) {
        const Table &map = table(codePage);
        const qsizetype start = text.size();
        text.resize(start + bytes.size());
        auto *out = reinterpret_cast<char16_t *>(text.data()) + start;
        for (const char byte : bytes)
            *out++ = map[static_cast<unsigned char>(byte)];
        return;
    }
    IconvHandle handle(codePage);
    if (!handle.valid())
        text += QString::fromLatin1(bytes);
    else
        text += handle.convert(bytes);
}

} // namespace bw::rtf
