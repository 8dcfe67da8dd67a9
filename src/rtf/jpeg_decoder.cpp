#include "rtf/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace bw::rtf {
namespace {

constexpr int kMaxDimension = 30000;

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jump, 1);
}

void onMessage(j_common_ptr, int) {}

// Reads the scan lines into `image`; returns false on a libjpeg error. No
// object with a destructor lives in this frame, so longjmp is safe here.
bool decodeInto(const QByteArray &bytes, QImage &image)
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = onMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_width == 0 || info.output_height == 0 || info.output_width > kMaxDimension ||
        info.output_height > kMaxDimension || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (image.isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage decodeJpeg(const QByteArray &bytes)
{
    if (bytes.size() < 4)
        return {};
    QImage image;
    if (!decodeInto(bytes, image))
        return {};
    return image;
}

} // namespace bw::rtf
