#include "SessionAudioSource.h"

#include <algorithm>

std::size_t SessionAudioSource::read(std::int16_t* buffer, std::size_t max) {
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_stopped || !m_queue.empty(); });
    if (m_stopped)
        return 0;
    const std::size_t n = std::min(max, m_queue.size());
    std::copy_n(m_queue.begin(), n, buffer);
    m_queue.erase(m_queue.begin(), m_queue.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

void SessionAudioSource::stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_wake.notify_all();
}

void SessionAudioSource::feed(const std::vector<std::int16_t>& samples) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.insert(m_queue.end(), samples.begin(), samples.end());
    }
    m_wake.notify_all();
}

bool SessionAudioSource::drained() const {
    std::lock_guard lock(m_mutex);
    return m_queue.empty();
}
