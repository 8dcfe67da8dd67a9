#include "editor/embedded_object.h"

#include "editor/rtf/text_properties.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>
#include <QStyle>
#include <QTextCharFormat>

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
    return {qMax(kIconSize, textWidth) + 2 * kPadding,
            kIconSize + metrics.height() + 3 * kPadding};
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

QTextCharFormat objectCharFormat(const EmbeddedObject &object)
{
    QTextCharFormat format;
    format.setObjectType(kObjectTextFormat);
    format.setProperty(rtf::ObjectName, object.name);
    format.setProperty(rtf::ObjectMimeType, object.mimeType);
    if (object.isLink())
        format.setProperty(rtf::ObjectLinkPath, object.linkPath);
    else
        format.setProperty(rtf::ObjectData, object.data);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    renderObject(object).save(&buffer, "PNG");
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
        object.mimeType = QMimeDatabase().mimeTypeForFile(object.name, QMimeDatabase::MatchExtension).name();
    return object;
}

QSizeF ObjectRenderer::intrinsicSize(QTextDocument *, int, const QTextFormat &format)
{
    const auto object = objectFromFormat(format);
    return object ? QSizeF(objectSize(*object)) : QSizeF(kIconSize, kIconSize);
}

void ObjectRenderer::drawObject(QPainter *painter, const QRectF &rect, QTextDocument *, int,
                                const QTextFormat &format)
{
    const auto object = objectFromFormat(format);
    if (!object)
        return;
    painter->save();
    paintObject(painter, rect, *object);
    painter->restore();
}

} // namespace bw
