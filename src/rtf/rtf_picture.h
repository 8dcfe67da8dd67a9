#pragma once
// Pictures in RTF: decoding the data of a {\pict} group into an image with
// its original bytes, and writing an image back as a {\pict} group.

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>

class QTextImageFormat;

namespace bw::rtf {

enum class PictureKind { None, Png, Jpeg, Dib, WBitmap, Emf, Wmf, Other };

// What a {\pict} group said about its picture.
struct RtfPicture
{
    PictureKind kind = PictureKind::None;
    QByteArray data;
    int width = 0;     // \picw: pixels, or 0.01 mm for metafiles
    int height = 0;    // \pich
    int goalWidth = 0; // \picwgoal, twips
    int goalHeight = 0;
    int scaleX = 100; // \picscalex, percent
    int scaleY = 100;
    int bitsPerPixel = 1; // \wbmbitspixel
    int widthBytes = 0;   // \wbmwidthbytes
};

// A picture ready for the document: the image to show, the bytes to keep
// (PictureFormat and PictureData), and its size in document pixels.
struct DecodedPicture
{
    QImage image;
    QString format; // "png", "jpeg", "emf", "wmf", "dib"; empty: not kept
    QByteArray data;
    QSizeF size;
    bool placeholder = false; // the image is a box drawn for the size, not the data's
};

// Decodes the picture. A metafile, or data that cannot be decoded, is shown
// as a framed box of the picture's size and still keeps its bytes.
DecodedPicture decodePicture(const RtfPicture &picture);

// The image as PNG file bytes.
QByteArray encodePng(const QImage &image);

// A white, framed box with a label, for what cannot be drawn.
QImage placeholderImage(QSize size, const QString &label);

// The resource name of a picture in the document, from its content.
QString pictureResourceName(const QByteArray &content);

// The resource name of a decoded picture: from its kept bytes when the image
// shows them, else from the image itself (a box drawn for its size depends on
// more than the bytes).
QString pictureResourceName(const DecodedPicture &picture);

// The {\pict ...} group of an image in the document. The original bytes are
// written back when the format carries them; other images are written as
// PNG. `image` is the document's resource (used when there are no bytes and
// for the pixel size). Empty when there is nothing to write.
QByteArray pictureGroup(const QTextImageFormat &format, const QImage &image);

} // namespace bw::rtf
