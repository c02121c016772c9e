// Character files. The checksum in the header is put right first, so that
// the fuzzer reaches the contents; a file that reads must write and read
// back the same.
#include "FuzzInput.h"
#include "PlatformError.h"
#include "agent/AgentFile.h"

#include <zlib.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes = fuzz::bytes(data, size);
    if (bytes.size() >= 16) {
        const auto crc = static_cast<quint32>(
            crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.constData() + 16),
                  static_cast<uInt>(bytes.size() - 16)));
        for (int i = 0; i < 4; ++i)
            bytes[12 + i] = static_cast<char>((crc >> (8 * i)) & 0xff);
    }
    platform::AgentFile file;
    try {
        file = platform::AgentFile::parse(bytes);
    } catch (const platform::PlatformError&) {
        return 0;
    }
    const platform::AgentFile copy = platform::AgentFile::parse(file.serialize());
    fuzz::require(copy.name == file.name && copy.frameSize == file.frameSize &&
                      copy.images.size() == file.images.size() &&
                      copy.animations.size() == file.animations.size(),
                  "a character written and read back is the same");
    for (qsizetype i = 0; i < file.images.size(); ++i)
        fuzz::require(copy.images[i] == file.images[i], "frames survive a write");
    return 0;
}
