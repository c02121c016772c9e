#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

struct pa_stream;
struct pa_operation;

namespace platform {

class PulseConnection;

// One blocking playback stream to the default PulseAudio sink on the shared
// client core (PulseConnection), driven on the calling thread; the stream is
// reopened when the sample format changes. Used from one thread at a time.
// No wait outlasts its deadline: a server that stops answering raises
// PlatformError instead of hanging the caller.
class PulsePlayback {
public:
    // `answerTimeout`: how long the server may take to answer a connect or a
    // new stream; `stallTimeout`: how long playback may make no progress.
    explicit PulsePlayback(std::chrono::milliseconds answerTimeout = std::chrono::seconds(3),
                           std::chrono::milliseconds stallTimeout = std::chrono::seconds(10));
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
    void connect();
    void openStream(int sampleRate, int channels);
    void closeStream();
    // Waits until the operation has finished, then releases it.
    void finish(pa_operation* operation);
    [[noreturn]] void brokeOff();

    std::chrono::milliseconds m_answerTimeout;
    std::chrono::milliseconds m_stallTimeout;
    std::unique_ptr<PulseConnection> m_pulse;
    pa_stream* m_stream = nullptr;
    int m_rate = 0;
    int m_channels = 0;
};

} // namespace platform
