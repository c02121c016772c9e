#pragma once

#include "IAudioSource.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <vector>

struct pa_stream;

namespace platform {

class PulseConnection;

// The default PulseAudio source (the microphone), captured at 16 kHz mono on
// the shared client core (PulseConnection), driven by the reading thread.
class PulseAudioSource : public IAudioSource {
public:
    // `answerTimeout`: how long the server may take to answer a connect or a
    // new stream.
    explicit PulseAudioSource(std::chrono::milliseconds answerTimeout = std::chrono::seconds(3));
    ~PulseAudioSource() override;

    void start() override;
    std::size_t read(std::int16_t* buffer, std::size_t max) override;
    void stop() override;

private:
    void close();
    // Waits for the next fragment; false once stopped or the stream failed.
    bool fetch();

    std::chrono::milliseconds m_answerTimeout;
    std::unique_ptr<PulseConnection> m_pulse;
    pa_stream* m_stream = nullptr;
    std::atomic<bool> m_stopped{false};
    std::vector<std::int16_t> m_left; // taken from the server, not yet read
};

} // namespace platform
