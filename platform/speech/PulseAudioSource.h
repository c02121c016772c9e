#pragma once

#include "IAudioSource.h"
#include "PulseContext.h"

#include <vector>

struct pa_stream;

namespace platform {

// The default PulseAudio source (the microphone), captured at 16 kHz mono.
class PulseAudioSource : public IAudioSource {
public:
    PulseAudioSource() = default;
    ~PulseAudioSource() override;

    void start() override;
    std::size_t read(std::int16_t* buffer, std::size_t max) override;
    void stop() override;

private:
    void close();

    PulseContext m_pulse;
    pa_stream* m_stream = nullptr;
    bool m_stopped = false;           // guarded by the main loop lock
    std::vector<std::int16_t> m_left; // taken from the server, not yet read
};

} // namespace platform
