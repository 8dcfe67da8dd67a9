#pragma once
// Our own objects in RTF: an embedded file (name, MIME type, bytes) or a
// link to a file, stored as the OLE1 stream of \objdata so that readers
// which parse OLE1 find a well-formed object of a class they do not know.

#include <QByteArray>
#include <QString>

#include <optional>

namespace bw::rtf {

inline constexpr char kEmbeddedFileClass[] = "Bramblewick.File";
inline constexpr char kLinkedFileClass[] = "Bramblewick.Link";

struct EmbeddedObject
{
    bool isLink = false;
    QString name;
    QString mimeType;
    QString linkPath;
    QByteArray data;
};

// The bytes of \objdata for the object.
QByteArray encodeObjectData(const EmbeddedObject &object);

// The object in \objdata bytes written by encodeObjectData, or nothing when
// the bytes are not ours or are damaged.
std::optional<EmbeddedObject> decodeObjectData(const QByteArray &bytes);

} // namespace bw::rtf
