#pragma once

#include "speech/IAudioSource.h"

#include <QString>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

// A microphone fed by the test: audio queued with feed() is handed to the
// recogniser as fast as it reads. read() blocks while nothing is queued.
class FileAudioSource : public platform::IAudioSource {
public:
    void start() override;
    std::size_t read(std::int16_t* buffer, std::size_t max) override;
    void stop() override;

    void feed(const std::vector<std::int16_t>& samples);
    // Queues a wave file, converted to 16 kHz mono; raises PlatformError when unreadable.
    void feedFile(const QString& path);
    void feedSilence(double seconds);
    // True once everything fed has been read.
    bool drained() const;
    // When the last queued sample was handed out.
    std::chrono::steady_clock::time_point lastReadAt() const;

    // The microphone goes (reading ends, and it cannot be started again
    // until plugged in), as when the sound server goes away.
    void unplug();
    void plugIn();

    int starts = 0;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::int16_t> m_queue;
    bool m_stopped = false;
    bool m_unplugged = false;
    std::chrono::steady_clock::time_point m_lastReadAt;
};
