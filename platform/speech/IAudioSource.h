#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// Where the recogniser's audio comes from: 16 kHz mono 16-bit samples.
class IAudioSource {
public:
    static constexpr int SampleRate = 16000;

    virtual ~IAudioSource() = default;
    // Starts capturing; raises PlatformError when the device cannot be opened.
    virtual void start() = 0;
    // Blocks until samples are there, copies up to `max` of them and returns
    // how many; returns 0 once stop() was called (or the source has ended).
    virtual std::size_t read(std::int16_t* buffer, std::size_t max) = 0;
    // Makes read() return 0 from now on, also a read blocked on another thread.
    virtual void stop() = 0;
};

} // namespace platform
