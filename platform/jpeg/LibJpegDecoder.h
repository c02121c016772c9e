#pragma once

#include "jpeg/IJpegDecoder.h"

namespace platform {

// libjpeg's decompressor with an error manager that returns to the caller
// (instead of ending the process) on a broken file.
class LibJpegDecoder : public IJpegDecoder {
public:
    QImage decodeFile(const QString& path) const override;
    static QImage decode(const QByteArray& data);
};

} // namespace platform
