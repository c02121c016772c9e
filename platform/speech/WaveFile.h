#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace platform {

// A wave file decoded to interleaved 16-bit samples.
struct WaveFile {
    // The most samples a file may hold (all channels counted): over 11
    // minutes of stereo audio at 48 kHz, an hour of the recogniser's mono
    // 16 kHz. Longer files are refused.
    static constexpr std::size_t kMaxSamples = std::size_t{64} * 1024 * 1024;

    int sampleRate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;

    // Reads a RIFF/RF64 wave file, found through PathLookup ("\" and any
    // letter case); raises PlatformError when the file is missing, unreadable
    // holds anything but wave audio, or is longer than kMaxSamples. Memory
    // grows with the audio the file really holds, not with its header.
    static WaveFile read(const QString& path);
    // Mono 16 kHz audio, averaged and resampled linearly: what the recogniser hears.
    std::vector<std::int16_t> toMono16k() const;
    std::size_t frames() const { return channels ? samples.size() / channels : 0; }
};

} // namespace platform
