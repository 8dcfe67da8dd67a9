#pragma once
// Pictures the editor inserts: read from a file by its extension, or from the
// clipboard, kept with the bytes the document stores (PNG, or the JPEG file's
// own bytes).

#include <QByteArray>
#include <QImage>
#include <QString>

#include <stdexcept>

class QMimeData;

namespace bw {

// A picture file that cannot be read as a picture.
class PictureError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

struct Picture
{
    QImage image;
    QByteArray bytes; // what the document keeps
    QString format;   // "png" or "jpeg", as rtf::PictureFormat names them
};

inline constexpr char kGifMimeType[] = "image/gif";
inline constexpr char kJpegMimeType[] = "image/jpeg";
inline constexpr char kIconMimeType[] = "application/x-bramblewick-icon";

// A picture of the image, kept as PNG.
Picture pictureFromImage(const QImage &image);

// Reads a picture file: GIF (its first frame), JPEG, BMP, PNG, ICO (drawn on
// white). Throws PictureError when the file is no picture we can decode.
Picture loadPictureFile(const QString &fileName);

// The clipboard form of a picture file: its bitmap, plus the GIF data for a
// GIF, the JPEG data for a JPEG and the icon's own file data for an icon.
QMimeData *pictureMimeData(const QString &fileName);

// The picture a clipboard holds, if any (JPEG bytes kept, else the bitmap).
bool pictureFromMimeData(const QMimeData *data, Picture *picture);

} // namespace bw
