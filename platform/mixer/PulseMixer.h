#pragma once

#include "mixer/IMixer.h"

#include <chrono>

namespace platform {

// The mixer over the PulseAudio server named by the usual client settings
// (PULSE_SERVER, client.conf): the speaker is the default sink, the
// microphone the default source unless that only monitors a sink (a monitor
// is no microphone). Levels run 0..65535 whatever the server's own scale;
// 65535 is the server's normal (100 %) volume, and louder volumes read as
// 65535. Setting a level keeps the balance between the channels.
//
// Each open mixer keeps one connection to the server until it is destroyed;
// every request waits at most `answerTimeout` for the server, so a server that
// is missing or hangs never holds up the window thread for longer.
class PulseMixer : public IMixer {
public:
    explicit PulseMixer(std::chrono::milliseconds answerTimeout = std::chrono::seconds(2));

    // NoDriver when no server answers in time.
    Opened open() override;

private:
    std::chrono::milliseconds m_answerTimeout;
};

} // namespace platform
