#pragma once
// Objects in a document: a file kept inside it (name, MIME type, bytes) or a
// link to a file (path). In the text an object is one character drawn by
// ObjectRenderer as its type's icon with its name; its format also carries
// that drawing as a PNG picture, so the RTF keeps a result other readers show.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTextObjectInterface>

#include <optional>

class QTextCharFormat;

namespace bw {

inline constexpr int kObjectTextFormat = QTextFormat::UserObject + 1;

struct EmbeddedObject
{
    QString name;     // file name shown under the icon
    QString mimeType;
    QByteArray data;  // embedded bytes
    QString linkPath; // linked file; empty for an embedded one

    bool isLink() const { return !linkPath.isEmpty(); }
    // The bytes of the object: its own, or the linked file's.
    QByteArray contents() const;
};

// An object made from a file, embedded (its bytes copied in) or linked.
EmbeddedObject objectFromFile(const QString &fileName, bool link);
// A new, empty embedded file of the given type.
EmbeddedObject newObject(const QString &name, const QString &mimeType);

// The object's character format (object type, properties, result picture).
QTextCharFormat objectCharFormat(const EmbeddedObject &object);
// The object a character format describes, if it describes one.
std::optional<EmbeddedObject> objectFromFormat(const QTextFormat &format);
bool isObjectFormat(const QTextFormat &format);

// The picture of an object: its type's icon above its name.
QImage renderObject(const EmbeddedObject &object);

// Draws objects in the text.
class ObjectRenderer : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    using QObject::QObject;
    QSizeF intrinsicSize(QTextDocument *document, int position,
                         const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *document, int position,
                    const QTextFormat &format) override;
};

} // namespace bw
