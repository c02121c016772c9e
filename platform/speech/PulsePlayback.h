#pragma once

#include "PulseContext.h"

#include <cstddef>
#include <cstdint>

struct pa_stream;
struct pa_operation;

namespace platform {

// One blocking playback stream to the default PulseAudio sink; the stream is
// reopened when the sample format changes. Used from one thread at a time.
class PulsePlayback {
public:
    PulsePlayback() = default;
    ~PulsePlayback();
    PulsePlayback(const PulsePlayback&) = delete;
    PulsePlayback& operator=(const PulsePlayback&) = delete;

    // Makes sure a stream for this format is open; raises PlatformError when
    // the sound server cannot be reached.
    void open(int sampleRate, int channels);
    // Blocks until the server has taken the samples (about real time).
    void write(const std::int16_t* samples, std::size_t count);
    // Blocks until everything written has been played.
    void drain();
    // Drops what was written but not yet played.
    void flush();
    // Size of a write that lasts about 20 ms.
    std::size_t chunkSamples() const { return static_cast<std::size_t>(m_rate / 50 * m_channels); }

private:
    void openStream(int sampleRate, int channels);
    // The stream and its connection still stand (the server has not gone).
    bool alive();
    void closeStream();
    // Waits (main loop locked) until the operation has finished, then releases it.
    void finish(pa_operation* operation);

    PulseContext m_pulse;
    pa_stream* m_stream = nullptr;
    int m_rate = 0;
    int m_channels = 0;
};

} // namespace platform
