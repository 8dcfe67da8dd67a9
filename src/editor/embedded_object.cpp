#include "editor/embedded_object.h"

#include "platform/guarded_dispatch.h"
#include "rtf/text_properties.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QTextDocument>
#include <QTextImageFormat>

namespace bw {

namespace {

constexpr int kIconSize = 32;
constexpr int kPadding = 4;
constexpr int kMaxNameWidth = 160;

QIcon iconFor(const QString &mimeType)
{
    const QMimeType type = QMimeDatabase().mimeTypeForName(mimeType);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    return icon;
}

QString shownName(const EmbeddedObject &object, const QFontMetrics &metrics)
{
    return metrics.elidedText(object.name, Qt::ElideMiddle, kMaxNameWidth);
}

QSize objectSize(const EmbeddedObject &object)
{
    const QFontMetrics metrics(QApplication::font());
    const int textWidth = metrics.horizontalAdvance(shownName(object, metrics));
    return {qMax(kIconSize, textWidth) + 2 * kPadding, kIconSize + metrics.height() + 3 * kPadding};
}

void paintObject(QPainter *painter, const QRectF &rect, const EmbeddedObject &object)
{
    const QFontMetrics metrics(QApplication::font());
    const QPixmap pixmap = iconFor(object.mimeType).pixmap(kIconSize, kIconSize);
    const QPointF iconAt(rect.center().x() - kIconSize / 2.0, rect.top() + kPadding);
    painter->drawPixmap(iconAt, pixmap);
    const QRectF textRect(rect.left(), rect.top() + kIconSize + 2 * kPadding, rect.width(),
                          metrics.height());
    painter->setFont(QApplication::font());
    painter->drawText(textRect, Qt::AlignHCenter | Qt::AlignTop, shownName(object, metrics));
}

} // namespace

QByteArray EmbeddedObject::contents() const
{
    if (!isLink())
        return data;
    QFile file(linkPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

EmbeddedObject objectFromFile(const QString &fileName, bool link)
{
    const QFileInfo info(fileName);
    EmbeddedObject object;
    object.name = info.fileName();
    object.mimeType = QMimeDatabase().mimeTypeForFile(info).name();
    if (link) {
        object.linkPath = info.absoluteFilePath();
        return object;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("Cannot read the file \"%1\": %2.")
                                     .arg(fileName, file.errorString())
                                     .toStdString());
    object.data = file.readAll();
    return object;
}

EmbeddedObject newObject(const QString &name, const QString &mimeType)
{
    return EmbeddedObject{name, mimeType, {}, {}};
}

QImage renderObject(const EmbeddedObject &object)
{
    QImage image(objectSize(object), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    paintObject(&painter, QRectF(image.rect()), object);
    return image;
}

QTextImageFormat objectImageFormat(const EmbeddedObject &object, const QString &imageName)
{
    const QImage image = renderObject(object);
    QTextImageFormat format;
    format.setName(imageName);
    format.setWidth(image.width());
    format.setHeight(image.height());
    format.setProperty(rtf::ObjectName, object.name);
    format.setProperty(rtf::ObjectMimeType, object.mimeType);
    if (object.isLink())
        format.setProperty(rtf::ObjectLinkPath, object.linkPath);
    else
        format.setProperty(rtf::ObjectData, object.data);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    format.setProperty(rtf::PictureFormat, QStringLiteral("png"));
    format.setProperty(rtf::PictureData, png);
    return format;
}

bool isObjectFormat(const QTextFormat &format)
{
    return format.hasProperty(rtf::ObjectName) &&
           (format.hasProperty(rtf::ObjectData) || format.hasProperty(rtf::ObjectLinkPath));
}

std::optional<EmbeddedObject> objectFromFormat(const QTextFormat &format)
{
    if (!isObjectFormat(format))
        return std::nullopt;
    EmbeddedObject object;
    object.name = format.stringProperty(rtf::ObjectName);
    object.mimeType = format.stringProperty(rtf::ObjectMimeType);
    object.data = format.property(rtf::ObjectData).toByteArray();
    object.linkPath = format.stringProperty(rtf::ObjectLinkPath);
    if (object.mimeType.isEmpty())
        object.mimeType =
            QMimeDatabase().mimeTypeForFile(object.name, QMimeDatabase::MatchExtension).name();
    return object;
}

namespace {

QImage resourceImage(QTextDocument *document, const QTextImageFormat &format)
{
    const QVariant data = document->resource(QTextDocument::ImageResource, QUrl(format.name()));
    if (data.canConvert<QImage>())
        return qvariant_cast<QImage>(data);
    if (data.canConvert<QPixmap>())
        return qvariant_cast<QPixmap>(data).toImage();
    return QImage::fromData(data.toByteArray());
}

// Sizes are in screen pixels at 96 dpi; a printer gets them scaled.
qreal deviceScale(QTextDocument *document)
{
    const QPaintDevice *device = document->documentLayout()->paintDevice();
    return device ? device->logicalDpiY() / 96.0 : 1.0;
}

QSizeF pictureSize(QTextDocument *document, const QTextImageFormat &format)
{
    QSizeF size(format.width(), format.height());
    if (size.width() > 0 && size.height() > 0)
        return size;
    const QSizeF natural = resourceImage(document, format).size();
    if (natural.isEmpty())
        return {16, 16};
    if (size.width() > 0)
        return {size.width(), natural.height() * size.width() / natural.width()};
    if (size.height() > 0)
        return {natural.width() * size.height() / natural.height(), size.height()};
    return natural;
}

} // namespace

QSizeF ObjectRenderer::intrinsicSize(QTextDocument *document, int, const QTextFormat &format)
{
    return guardedOr(QSizeF(), [&] {
        const auto object = objectFromFormat(format);
        const QSizeF size =
            object ? QSizeF(objectSize(*object)) : pictureSize(document, format.toImageFormat());
        return size * deviceScale(document);
    });
}

void ObjectRenderer::drawObject(QPainter *painter, const QRectF &rect, QTextDocument *document, int,
                                const QTextFormat &format)
{
    // The document's layout calls these two: nothing may be thrown back into it.
    painter->save();
    guarded([&] {
        if (const auto object = objectFromFormat(format)) {
            painter->translate(rect.topLeft());
            painter->scale(deviceScale(document), deviceScale(document));
            paintObject(painter, QRectF(QPointF(0, 0), QSizeF(objectSize(*object))), *object);
        } else {
            const QImage image = resourceImage(document, format.toImageFormat());
            if (!image.isNull())
                painter->drawImage(rect, image);
        }
    });
    painter->restore();
}

} // namespace bw
