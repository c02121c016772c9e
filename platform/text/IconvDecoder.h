#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace platform {

// Text in a legacy character set (GBK for the INI files and most help pages)
// decoded to Unicode with iconv: the one decoding loop of the platform layer.
// A byte that starts no character, or a character cut off at the end, becomes
// U+FFFD and decoding goes on with the next byte.
class IconvDecoder {
public:
    // Nothing when iconv does not know `charset`.
    static std::optional<QString> decode(const QByteArray& bytes, const char* charset);
};

} // namespace platform
