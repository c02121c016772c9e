#include "jpeg/LibJpegDecoder.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace platform {

namespace {

struct ReturningErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf back;
};

[[noreturn]] void returnToCaller(j_common_ptr info) {
    auto* manager = reinterpret_cast<ReturningErrorManager*>(info->err);
    std::longjmp(manager->back, 1);
}

void ignoreMessage(j_common_ptr) {}

// Kept apart from the objects with destructors: longjmp must not skip any.
bool decodeInto(const QByteArray& data, QImage& image) {
    jpeg_decompress_struct info{};
    ReturningErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = returnToCaller;
    errors.base.output_message = ignoreMessage;
    if (setjmp(errors.back)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    if (!LibJpegDecoder::acceptableSize(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB888);
    if (image.isNull() || info.output_components != 3) { // no memory for it, or not RGB
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

bool LibJpegDecoder::acceptableSize(unsigned width, unsigned height) {
    return width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide &&
           quint64{width} * height <= kMaxPixels;
}

QImage LibJpegDecoder::decode(const QByteArray& data) {
    if (data.isEmpty())
        return {};
    QImage image;
    if (!decodeInto(data, image))
        return {};
    return image;
}

QImage LibJpegDecoder::decodeFile(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decode(file.readAll());
}

} // namespace platform
