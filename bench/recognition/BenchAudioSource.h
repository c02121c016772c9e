#pragma once

#include "speech/IAudioSource.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

// Audio a benchmark feeds, read by the recogniser's listener thread as fast
// as it takes it. With `timeReads`, remembers when each sample offset was
// read so that an event's latency can be measured from the audio that caused
// it; without, keeps nothing once read, so a long session does not grow here.
class BenchAudioSource : public platform::IAudioSource {
public:
    using Clock = std::chrono::steady_clock;

    explicit BenchAudioSource(bool timeReads = true) : m_timeReads(timeReads) {}

    void start() override {}
    std::size_t read(std::int16_t* buffer, std::size_t max) override;
    void stop() override;

    void feed(const std::vector<std::int16_t>& samples);
    bool drained() const;
    // When the sample at `offset` (counted from the start) was read.
    Clock::time_point readTimeOf(long long offset) const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::int16_t> m_queue;
    bool m_stopped = false;
    const bool m_timeReads;
    long long m_offset = 0;
    std::vector<std::pair<long long, Clock::time_point>> m_reads;
};
