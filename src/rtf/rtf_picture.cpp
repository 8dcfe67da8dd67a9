#include "rtf/rtf_picture.h"

#include "rtf/jpeg_decoder.h"
#include "rtf/rtf_escape.h"
#include "rtf/text_properties.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QPainter>
#include <QTextImageFormat>
#include <QtEndian>

namespace bw::rtf {
namespace {

constexpr qreal kTwipsPerPixel = kTwipsPerDocumentPixel;
constexpr qreal kMaxDisplaySize = 20000.0; // document pixels
constexpr int kMaxPlaceholderSize = 512;   // larger boxes are drawn scaled
constexpr int kMaxBitmapSide = 30000;

quint32 readLe32(const QByteArray &data, qsizetype offset)
{
    if (offset + 4 > data.size())
        return 0;
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

quint16 readLe16(const QByteArray &data, qsizetype offset)
{
    if (offset + 2 > data.size())
        return 0;
    return qFromLittleEndian<quint16>(data.constData() + offset);
}

// A packed DIB (header, colours, bits) read as a BMP file.
QImage decodeDib(const QByteArray &dib)
{
    const quint32 headerSize = readLe32(dib, 0);
    if (headerSize < 12 || headerSize > quint32(dib.size()))
        return {};
    quint32 paletteBytes = 0;
    if (headerSize == 12) {
        const quint16 bits = readLe16(dib, 10);
        paletteBytes = bits <= 8 ? (1u << bits) * 3 : 0;
    } else {
        const quint16 bits = readLe16(dib, 14);
        const quint32 compression = readLe32(dib, 16);
        quint32 used = std::min<quint32>(readLe32(dib, 32), 256);
        if (used == 0 && bits <= 8)
            used = 1u << bits;
        paletteBytes = used * 4 + (compression == 3 && headerSize == 40 ? 12 : 0);
    }
    QByteArray file("BM");
    char field[4];
    qToLittleEndian<quint32>(quint32(14 + dib.size()), field);
    file.append(field, 4);
    file.append(4, '\0');
    qToLittleEndian<quint32>(14 + headerSize + paletteBytes, field);
    file.append(field, 4);
    file.append(dib);
    return QImage::fromData(file, "BMP");
}

// A device-dependent bitmap of \wbitmap: rows top down, 1, 24 or 32 bits.
QImage decodeWBitmap(const RtfPicture &picture)
{
    const int width = picture.width;
    const int height = picture.height;
    const int bits = picture.bitsPerPixel;
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        (bits != 1 && bits != 24 && bits != 32))
        return {};
    const qint64 minimumStride = (qint64(width) * bits + 7) / 8;
    const qint64 stride = std::max<qint64>(picture.widthBytes, (minimumStride + 1) & ~1);
    if (stride * height > picture.data.size())
        return {};
    QImage image(width, height, bits == 1 ? QImage::Format_Mono : QImage::Format_RGB32);
    if (image.isNull())
        return {};
    if (bits == 1) {
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    }
    for (int y = 0; y < height; ++y) {
        const auto *row = reinterpret_cast<const uchar *>(picture.data.constData() + y * stride);
        if (bits == 1) {
            std::memcpy(image.scanLine(y), row, std::size_t(minimumStride));
            continue;
        }
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        const int step = bits / 8;
        for (int x = 0; x < width; ++x)
            out[x] = qRgb(row[x * step + 2], row[x * step + 1], row[x * step]);
    }
    return image;
}

bool isMetafile(PictureKind kind)
{
    return kind == PictureKind::Emf || kind == PictureKind::Wmf;
}

// The size in document pixels: the goal size when given, else the pixel
// size of a bitmap, or the 0.01 mm size of a metafile.
QSizeF displaySize(const RtfPicture &picture, const QImage &image)
{
    qreal width = 0;
    qreal height = 0;
    if (picture.goalWidth > 0 && picture.goalHeight > 0) {
        width = picture.goalWidth / kTwipsPerPixel;
        height = picture.goalHeight / kTwipsPerPixel;
    } else if (isMetafile(picture.kind) && picture.width > 0 && picture.height > 0) {
        width = picture.width * 1440.0 / 2540.0 / kTwipsPerPixel;
        height = picture.height * 1440.0 / 2540.0 / kTwipsPerPixel;
    } else if (!image.isNull()) {
        width = image.width();
        height = image.height();
    } else {
        width = std::max(picture.width, 1);
        height = std::max(picture.height, 1);
    }
    const qreal scaleX = std::clamp(picture.scaleX, 1, 10000) / 100.0;
    const qreal scaleY = std::clamp(picture.scaleY, 1, 10000) / 100.0;
    // Whole twips, as the writer stores them.
    const auto whole = [](qreal pixels) {
        return std::clamp(qRound(pixels * kTwipsPerPixel) / kTwipsPerPixel, 1.0, kMaxDisplaySize);
    };
    return {whole(width * scaleX), whole(height * scaleY)};
}

QString keptFormat(PictureKind kind)
{
    switch (kind) {
    case PictureKind::Png:
        return QStringLiteral("png");
    case PictureKind::Jpeg:
        return QStringLiteral("jpeg");
    case PictureKind::Dib:
        return QStringLiteral("dib");
    case PictureKind::Emf:
        return QStringLiteral("emf");
    case PictureKind::Wmf:
        return QStringLiteral("wmf");
    default:
        return {};
    }
}

QImage decodeImage(const RtfPicture &picture)
{
    switch (picture.kind) {
    case PictureKind::Png:
        return QImage::fromData(picture.data, "PNG");
    case PictureKind::Jpeg:
        return decodeJpeg(picture.data);
    case PictureKind::Dib:
        return decodeDib(picture.data);
    case PictureKind::WBitmap:
        return decodeWBitmap(picture);
    default:
        return {};
    }
}

} // namespace

QByteArray encodePng(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

DecodedPicture decodePicture(const RtfPicture &picture)
{
    DecodedPicture result;
    const QImage image = decodeImage(picture);
    result.size = displaySize(picture, image);
    if (picture.kind == PictureKind::WBitmap && !image.isNull()) {
        result.image = image;
        result.format = QStringLiteral("png"); // kept as PNG: we do not write \wbitmap
        result.data = encodePng(image);
        return result;
    }
    result.format = keptFormat(picture.kind);
    result.data = result.format.isEmpty() ? QByteArray() : picture.data;
    if (!image.isNull()) {
        result.image = image;
        return result;
    }
    const QString label =
        isMetafile(picture.kind) ? QStringLiteral("Metafile") : QStringLiteral("Picture");
    result.image = placeholderImage(result.size.toSize(), label);
    result.placeholder = true;
    return result;
}

QImage placeholderImage(QSize size, const QString &label)
{
    const QSize bounded(std::clamp(size.width(), 8, kMaxPlaceholderSize),
                        std::clamp(size.height(), 8, kMaxPlaceholderSize));
    QImage image(bounded, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
    // Text needs the font database of a GUI application.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()) && !label.isEmpty())
        painter.drawText(image.rect(), Qt::AlignCenter | Qt::TextWordWrap, label);
    return image;
}

QString pictureResourceName(const QByteArray &content)
{
    return QStringLiteral("bwpict:") +
           QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha1).toHex());
}

QString pictureResourceName(const DecodedPicture &picture)
{
    if (!picture.data.isEmpty() && !picture.placeholder)
        return pictureResourceName(picture.data);
    const QImage &image = picture.image;
    QByteArray content(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
    content += QByteArray::number(image.width()) + 'x' + QByteArray::number(image.height());
    return pictureResourceName(content);
}

namespace {

struct PictureOutput
{
    const char *keyword;
    QByteArray data;
    QSize pixels;
};

PictureOutput chooseOutput(const QTextImageFormat &format, const QImage &image)
{
    const QString kind = format.stringProperty(PictureFormat);
    const QByteArray data = format.property(PictureData).toByteArray();
    const QSize pixels = image.size();
    if (!data.isEmpty()) {
        if (kind == QLatin1String("png"))
            return {"\\pngblip", data, pixels};
        if (kind == QLatin1String("jpeg"))
            return {"\\jpegblip", data, pixels};
        if (kind == QLatin1String("dib"))
            return {"\\dibitmap0", data, pixels};
        if (kind == QLatin1String("emf"))
            return {"\\emfblip", data, {}};
        if (kind == QLatin1String("wmf"))
            return {"\\wmetafile8", data, {}};
    }
    if (image.isNull())
        return {nullptr, {}, {}};
    return {"\\pngblip", encodePng(image), pixels};
}

} // namespace

QByteArray pictureGroup(const QTextImageFormat &format, const QImage &image)
{
    const PictureOutput output = chooseOutput(format, image);
    if (!output.keyword)
        return {};
    const qreal width = format.width() > 0 ? format.width() : std::max(1, image.width());
    const qreal height = format.height() > 0 ? format.height() : std::max(1, image.height());
    const int goalWidth = qRound(width * kTwipsPerPixel);
    const int goalHeight = qRound(height * kTwipsPerPixel);
    // Metafiles give their size in 0.01 mm, bitmaps in pixels.
    const int picWidth =
        output.pixels.isValid() ? output.pixels.width() : qRound(goalWidth * 2540.0 / 1440.0);
    const int picHeight =
        output.pixels.isValid() ? output.pixels.height() : qRound(goalHeight * 2540.0 / 1440.0);
    QByteArray group("{\\pict");
    group.append(output.keyword);
    group.append("\\picw" + QByteArray::number(picWidth) + "\\pich" +
                 QByteArray::number(picHeight));
    group.append("\\picwgoal" + QByteArray::number(goalWidth) + "\\pichgoal" +
                 QByteArray::number(goalHeight));
    appendHexData(group, output.data);
    group.append('}');
    return group;
}

} // namespace bw::rtf
