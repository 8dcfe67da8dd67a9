#pragma once
// Objects in a document: a file kept inside it (name, MIME type, bytes) or a
// link to a file (path). In the text an object is an image character with
// the object's properties; ObjectRenderer draws it as its type's icon with its
// name. The image itself is that drawing, so the RTF keeps a result picture
// that other readers show.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTextObjectInterface>

#include <optional>

class QTextImageFormat;

namespace bw {

struct EmbeddedObject
{
    QString name; // file name shown under the icon
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

// The object's image format (properties, result picture named `imageName`).
QTextImageFormat objectImageFormat(const EmbeddedObject &object, const QString &imageName);
// The object a character format describes, if it describes one.
std::optional<EmbeddedObject> objectFromFormat(const QTextFormat &format);
bool isObjectFormat(const QTextFormat &format);

// The picture of an object: its type's icon above its name.
QImage renderObject(const EmbeddedObject &object);

// Draws the image characters of a document: objects as icon and name,
// pictures from the document's image resources.
class ObjectRenderer : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    using QObject::QObject;
    QSizeF intrinsicSize(QTextDocument *document, int position, const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *document, int position,
                    const QTextFormat &format) override;
};

} // namespace bw
