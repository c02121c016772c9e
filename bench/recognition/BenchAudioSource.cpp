#include "BenchAudioSource.h"

#include <algorithm>

std::size_t BenchAudioSource::read(std::int16_t* buffer, std::size_t max) {
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return m_stopped || !m_queue.empty(); });
    if (m_stopped)
        return 0;
    const std::size_t n = std::min(max, m_queue.size());
    std::copy_n(m_queue.begin(), n, buffer);
    m_queue.erase(m_queue.begin(), m_queue.begin() + static_cast<std::ptrdiff_t>(n));
    m_offset += static_cast<long long>(n);
    if (m_timeReads)
        m_reads.emplace_back(m_offset, Clock::now());
    return n;
}

void BenchAudioSource::stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_wake.notify_all();
}

void BenchAudioSource::feed(const std::vector<std::int16_t>& samples) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.insert(m_queue.end(), samples.begin(), samples.end());
    }
    m_wake.notify_all();
}

bool BenchAudioSource::drained() const {
    std::lock_guard lock(m_mutex);
    return m_queue.empty();
}

BenchAudioSource::Clock::time_point BenchAudioSource::readTimeOf(long long offset) const {
    std::lock_guard lock(m_mutex);
    const auto it = std::lower_bound(m_reads.begin(), m_reads.end(), offset,
                                     [](const auto& read, long long o) { return read.first < o; });
    return it == m_reads.end() ? Clock::now() : it->second;
}
