#pragma once

#include "jpeg/IJpegDecoder.h"

namespace platform {

// libjpeg's decompressor with an error manager that returns to the caller
// (instead of ending the process) on a broken file. A picture whose header
// claims more than kMaxSide pixels on a side or kMaxPixels in all is refused
// before anything is allocated for it: a few hundred bytes of file could
// otherwise demand gigabytes.
class LibJpegDecoder : public IJpegDecoder {
public:
    static constexpr unsigned kMaxSide = 16384;
    static constexpr quint64 kMaxPixels = 48ull * 1024 * 1024; // 144 MiB as RGB
    static bool acceptableSize(unsigned width, unsigned height);

    QImage decodeFile(const QString& path) const override;
    static QImage decode(const QByteArray& data);
};

} // namespace platform
