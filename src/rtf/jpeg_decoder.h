#pragma once
// Decodes JPEG bytes into an image with libjpeg.

#include <QByteArray>
#include <QImage>

namespace bw::rtf {

// The decoded image, or a null image when the bytes are not a JPEG that
// libjpeg can read.
QImage decodeJpeg(const QByteArray &bytes);

} // namespace bw::rtf
