#include "rtf/text_encoding.h"

#include "rtf/rtf_escape.h"

#include <QStringDecoder>

namespace bw::rtf {

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(text.data());
    for (const char byte : bytes)
        *out++ = cp1252ToUnicode(static_cast<unsigned char>(byte));
    return text;
}

bool isValidUtf8(QByteArrayView bytes)
{
    // A stateless decoder keeps no error flag, so this one keeps its state.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return !utf8.hasError();
}

QString plainTextFromBytes(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = fromWindows1252(bytes);
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

} // namespace bw::rtf
