#include "editor/picture_file.h"

#include "rtf/jpeg_decoder.h"
#include "rtf/rtf_picture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QPainter>

namespace bw {

namespace {

QImage decode(const QByteArray &bytes, const QByteArray &format)
{
    if (format == "jpeg") {
        const QImage image = rtf::decodeJpeg(bytes); // libjpeg, as the RTF reader uses it
        if (!image.isNull())
            return image;
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    return reader.read(); // the first frame of an animation
}

QImage onWhite(const QImage &icon)
{
    QImage image(icon.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawImage(0, 0, icon);
    return image;
}

QByteArray readFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw PictureError(QStringLiteral("Cannot open the picture file \"%1\": %2.")
                               .arg(fileName, file.errorString())
                               .toStdString());
    return file.readAll();
}

} // namespace

Picture pictureFromImage(const QImage &image)
{
    return Picture{image, rtf::encodePng(image), QStringLiteral("png")};
}

Picture loadPictureFile(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    const QByteArray bytes = readFile(fileName);
    const QByteArray format = suffix == QLatin1String("jpg") ? QByteArray("jpeg")
                              : suffix == QLatin1String("emf") || suffix == QLatin1String("wmf")
                                  ? QByteArray()
                                  : suffix.toLatin1();
    QImage image = decode(bytes, format);
    if (image.isNull() && !format.isEmpty())
        image = decode(bytes, QByteArray()); // a file whose extension lies
    if (image.isNull())
        throw PictureError(QStringLiteral("\"%1\" is not a picture that can be shown.")
                               .arg(fileName)
                               .toStdString());
    if (suffix == QLatin1String("ico"))
        image = onWhite(image);
    if (format == "jpeg" && QImageReader::imageFormat(fileName) == "jpeg")
        return Picture{image, bytes, QStringLiteral("jpeg")};
    return pictureFromImage(image);
}

QMimeData *pictureMimeData(const QString &fileName)
{
    const Picture picture = loadPictureFile(fileName);
    auto *data = new QMimeData;
    data->setImageData(picture.image);
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (picture.format == QLatin1String("jpeg"))
        data->setData(kJpegMimeType, picture.bytes);
    else if (suffix == QLatin1String("gif"))
        data->setData(kGifMimeType, readFile(fileName));
    else if (suffix == QLatin1String("ico"))
        data->setData(kIconMimeType, readFile(fileName));
    return data;
}

bool pictureFromMimeData(const QMimeData *data, Picture *picture)
{
    if (data->hasFormat(kJpegMimeType)) {
        const QByteArray bytes = data->data(kJpegMimeType);
        const QImage image = decode(bytes, "jpeg");
        if (!image.isNull()) {
            *picture = Picture{image, bytes, QStringLiteral("jpeg")};
            return true;
        }
    }
    if (!data->hasImage())
        return false;
    const QImage image = qvariant_cast<QImage>(data->imageData());
    if (image.isNull())
        return false;
    *picture = pictureFromImage(image);
    return true;
}

} // namespace bw
