#pragma once

#include <QImage>
#include <QString>

namespace platform {

// Decoding JPEG pictures.
class IJpegDecoder {
public:
    virtual ~IJpegDecoder() = default;
    // The picture in the file; a null image when the file is missing or broken.
    virtual QImage decodeFile(const QString& path) const = 0;
};

} // namespace platform
