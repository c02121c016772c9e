#include "FileAudioSource.h"

#include "PlatformError.h"
#include "speech/WaveFile.h"

#include <algorithm>

void FileAudioSource::start() {
    std::lock_guard lock(m_mutex);
    if (m_unplugged)
        throw platform::PlatformError(QStringLiteral("No microphone"));
    ++starts;
    m_stopped = false;
}

std::size_t FileAudioSource::read(std::int16_t* buffer, std::size_t max) {
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_stopped || !m_queue.empty(); });
    if (m_stopped)
        return 0;
    const std::size_t n = std::min(max, m_queue.size());
    std::copy_n(m_queue.begin(), n, buffer);
    m_queue.erase(m_queue.begin(), m_queue.begin() + static_cast<std::ptrdiff_t>(n));
    m_lastReadAt = std::chrono::steady_clock::now();
    return n;
}

void FileAudioSource::stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_wake.notify_all();
}

void FileAudioSource::unplug() {
    {
        std::lock_guard lock(m_mutex);
        m_unplugged = true;
        m_stopped = true;
    }
    m_wake.notify_all();
}

void FileAudioSource::plugIn() {
    std::lock_guard lock(m_mutex);
    m_unplugged = false;
}

void FileAudioSource::feed(const std::vector<std::int16_t>& samples) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.insert(m_queue.end(), samples.begin(), samples.end());
    }
    m_wake.notify_all();
}

void FileAudioSource::feedFile(const QString& path) {
    feed(platform::WaveFile::read(path).toMono16k());
}

void FileAudioSource::feedSilence(double seconds) {
    feed(std::vector<std::int16_t>(static_cast<std::size_t>(seconds * SampleRate), 0));
}

bool FileAudioSource::drained() const {
    std::lock_guard lock(m_mutex);
    return m_queue.empty();
}

std::chrono::steady_clock::time_point FileAudioSource::lastReadAt() const {
    std::lock_guard lock(m_mutex);
    return m_lastReadAt;
}
