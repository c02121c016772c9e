#include "text/IconvDecoder.h"

#include <array>
#include <cerrno>
#include <iconv.h>

namespace platform {

std::optional<QString> IconvDecoder::decode(const QByteArray& bytes, const char* charset) {
    iconv_t cd = iconv_open("UTF-8", charset);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    QByteArray out;
    out.reserve(bytes.size() * 3 / 2);
    std::array<char, 4096> buffer{};
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), static_cast<qsizetype>(buffer.size() - outLeft));
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            out.append("\xEF\xBF\xBD");
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr); // a fresh start after the mark
        }
    }
    iconv_close(cd);
    return QString::fromUtf8(out);
}

} // namespace platform
