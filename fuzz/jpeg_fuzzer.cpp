// JPEG pictures through our libjpeg decoder.
#include "FuzzInput.h"
#include "jpeg/LibJpegDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QImage image = platform::LibJpegDecoder::decode(fuzz::bytes(data, size));
    if (!image.isNull())
        fuzz::require(
            platform::LibJpegDecoder::acceptableSize(static_cast<unsigned>(image.width()),
                                                     static_cast<unsigned>(image.height())),
            "decoded size within the limits");
    return 0;
}
