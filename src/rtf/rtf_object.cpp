#include "rtf/rtf_object.h"

#include <QtEndian>

namespace bw::rtf {
namespace {

constexpr quint32 kOleVersion = 0x00000501;
constexpr quint32 kFormatEmbedded = 2;
constexpr char kPayloadMagic[] = "BWOB";
constexpr quint32 kPayloadVersion = 1;

void appendU32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void appendSized(QByteArray &out, const QByteArray &bytes)
{
    appendU32(out, quint32(bytes.size()));
    out.append(bytes);
}

// An OLE1 length-prefixed ANSI string: the length counts the closing NUL.
void appendAnsiString(QByteArray &out, const QByteArray &text)
{
    if (text.isEmpty()) {
        appendU32(out, 0);
        return;
    }
    appendU32(out, quint32(text.size() + 1));
    out.append(text);
    out.append('\0');
}

// Reads little-endian fields, failing once past the end.
class Reader
{
public:
    explicit Reader(const QByteArray &bytes) : m_bytes(bytes) {}
    bool ok() const { return m_ok; }
    quint32 u32()
    {
        if (m_pos + 4 > m_bytes.size()) {
            m_ok = false;
            return 0;
        }
        const quint32 value = qFromLittleEndian<quint32>(m_bytes.constData() + m_pos);
        m_pos += 4;
        return value;
    }
    QByteArray bytes(quint32 length)
    {
        if (!m_ok || qint64(length) > m_bytes.size() - m_pos) {
            m_ok = false;
            return {};
        }
        const QByteArray value = m_bytes.mid(m_pos, length);
        m_pos += length;
        return value;
    }
    QByteArray sized() { return bytes(u32()); }

private:
    const QByteArray &m_bytes;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

QByteArray payload(const EmbeddedObject &object)
{
    QByteArray out(kPayloadMagic, 4);
    appendU32(out, kPayloadVersion);
    appendU32(out, object.isLink ? 1 : 0);
    appendSized(out, object.name.toUtf8());
    appendSized(out, object.mimeType.toUtf8());
    appendSized(out, object.linkPath.toUtf8());
    appendSized(out, object.data);
    return out;
}

} // namespace

QByteArray encodeObjectData(const EmbeddedObject &object)
{
    const QByteArray native = payload(object);
    QByteArray out;
    appendU32(out, kOleVersion);
    appendU32(out, kFormatEmbedded);
    appendAnsiString(out, object.isLink ? kLinkedFileClass : kEmbeddedFileClass);
    appendAnsiString(out, {}); // topic
    appendAnsiString(out, {}); // item
    appendSized(out, native);
    return out;
}

std::optional<EmbeddedObject> decodeObjectData(const QByteArray &bytes)
{
    Reader ole(bytes);
    if (ole.u32() != kOleVersion || ole.u32() != kFormatEmbedded)
        return std::nullopt;
    QByteArray className = ole.sized();
    className.chop(1);
    if (className != kEmbeddedFileClass && className != kLinkedFileClass)
        return std::nullopt;
    ole.sized(); // topic
    ole.sized(); // item
    const QByteArray native = ole.sized();
    Reader reader(native);
    if (!ole.ok() || reader.bytes(4) != QByteArray(kPayloadMagic, 4) ||
        reader.u32() != kPayloadVersion)
        return std::nullopt;
    EmbeddedObject object;
    object.isLink = reader.u32() == 1;
    object.name = QString::fromUtf8(reader.sized());
    object.mimeType = QString::fromUtf8(reader.sized());
    object.linkPath = QString::fromUtf8(reader.sized());
    object.data = reader.sized();
    if (!reader.ok())
        return std::nullopt;
    return object;
}

} // namespace bw::rtf
