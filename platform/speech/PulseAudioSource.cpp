#include "PulseAudioSource.h"

#include "PlatformError.h"
#include "sound/PulseConnection.h"

#include <algorithm>
#include <cstring>
#include <pulse/pulseaudio.h>

namespace platform {

namespace {
using Clock = std::chrono::steady_clock;
// Each wait for the microphone is bounded; the reader waits again as long as
// the stream is good, so a quiet moment is no failure.
constexpr std::chrono::seconds kWaitSlice{1};
} // namespace

PulseAudioSource::PulseAudioSource(std::chrono::milliseconds answerTimeout)
    : m_answerTimeout(answerTimeout) {}

PulseAudioSource::~PulseAudioSource() {
    close();
}

void PulseAudioSource::start() {
    close();
    m_stopped = false;
    m_pulse = PulseConnection::open("Verbaro recogniser", Clock::now() + m_answerTimeout);
    pa_sample_spec spec{PA_SAMPLE_S16NE, static_cast<uint32_t>(SampleRate), 1};
    // Small fragments: the recogniser hears the end of speech soon after it came.
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(30 * 1000, &spec));
    m_stream = pa_stream_new(m_pulse->context(), "recogniser", &spec, nullptr);
    pa_stream* s = m_stream;
    const bool ready =
        s && pa_stream_connect_record(s, nullptr, &attr, PA_STREAM_ADJUST_LATENCY) == 0 &&
        m_pulse->runUntil([s] { return pa_stream_get_state(s) != PA_STREAM_CREATING; },
                          Clock::now() + m_answerTimeout) &&
        pa_stream_get_state(s) == PA_STREAM_READY;
    if (!ready) {
        const QString why = m_pulse->lastError();
        close();
        throw PlatformError(QStringLiteral("Cannot open the microphone: %1").arg(why));
    }
}

bool PulseAudioSource::fetch() {
    pa_stream* s = m_stream;
    const auto failed = [s] { return pa_stream_get_state(s) != PA_STREAM_READY; };
    while (m_left.empty()) {
        if (m_stopped || failed())
            return false;
        const void* data = nullptr;
        size_t bytes = 0;
        if (pa_stream_peek(s, &data, &bytes) < 0)
            return false;
        if (bytes == 0) {
            m_pulse->runUntil(
                [this, s, &failed] {
                    return m_stopped || failed() || pa_stream_readable_size(s) > 0;
                },
                Clock::now() + kWaitSlice);
            if (!m_pulse->alive())
                return false;
            continue;
        }
        if (data) {
            const auto* samples = static_cast<const std::int16_t*>(data);
            m_left.assign(samples, samples + bytes / sizeof(std::int16_t));
        } else {
            m_left.assign(bytes / sizeof(std::int16_t), 0); // a hole: silence
        }
        pa_stream_drop(s);
    }
    return true;
}

std::size_t PulseAudioSource::read(std::int16_t* buffer, std::size_t max) {
    if (!m_stream || !fetch())
        return 0;
    const std::size_t n = std::min(max, m_left.size());
    std::memcpy(buffer, m_left.data(), n * sizeof(std::int16_t));
    m_left.erase(m_left.begin(), m_left.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

// The one call from another thread: the reader's loop looks at m_stopped
// again at once.
void PulseAudioSource::stop() {
    m_stopped = true;
    if (m_pulse)
        m_pulse->wakeup();
}

void PulseAudioSource::close() {
    if (m_stream) {
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    m_pulse.reset();
    m_left.clear();
}

} // namespace platform
