#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace platform {

// A wave file decoded to interleaved 16-bit samples.
struct WaveFile {
    int sampleRate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;

    // Reads a RIFF/RF64 wave file, found through PathLookup ("\" and any
    // letter case); raises PlatformError when the file is missing, unreadable
    // or holds anything but wave audio.
    static WaveFile read(const QString& path);
    // Mono 16 kHz audio, averaged and resampled linearly: what the recogniser hears.
    std::vector<std::int16_t> toMono16k() const;
    std::size_t frames() const { return channels ? samples.size() / channels : 0; }
};

} // namespace platform
