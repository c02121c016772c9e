#pragma once

#include "speech/IAudioSource.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

// The "microphone" of the session benchmark: the samples fed are read by the
// recogniser's listener thread as fast as it takes them. Keeps nothing once
// read, so a long session does not grow here.
class SessionAudioSource : public platform::IAudioSource {
public:
    void start() override {}
    std::size_t read(std::int16_t* buffer, std::size_t max) override;
    void stop() override;

    void feed(const std::vector<std::int16_t>& samples);
    bool drained() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::int16_t> m_queue;
    bool m_stopped = false;
};
