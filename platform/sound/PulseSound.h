#pragma once

#include "sound/ISound.h"

#include <chrono>

namespace platform {

// Wave output through the PulseAudio server named by the usual client
// settings (PULSE_SERVER, client.conf); PipeWire desktops serve it too.
// Every call opens its own connection, so there is no state to keep and a
// server that comes or goes between calls is seen as it is.
class PulseSound : public ISound {
public:
    // `answerTimeout`: how long to wait for the server to answer a request;
    // `stallTimeout`: how long playback may make no progress before giving up.
    explicit PulseSound(std::chrono::milliseconds answerTimeout = std::chrono::seconds(3),
                        std::chrono::milliseconds stallTimeout = std::chrono::seconds(10));

    // Number of sinks, not counting the placeholder sink the server offers
    // when the machine has no sound card; 0 when no server answers in time.
    int waveOutDeviceCount() override;
    // Decodes the file with libsndfile, plays it on the default sink and
    // returns once the server has played it all; false for a file that is
    // missing or cannot be decoded, when there is no server, or when
    // playback stalls.
    bool playWaveSync(const QString& path) override;

private:
    std::chrono::milliseconds m_answerTimeout;
    std::chrono::milliseconds m_stallTimeout;
};

} // namespace platform
