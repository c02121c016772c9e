#include "PulseAudioSource.h"

#include "PlatformError.h"

#include <algorithm>
#include <cstring>
#include <pulse/pulseaudio.h>

namespace platform {

namespace {
void streamChanged(pa_stream*, void* loop) {
    PulseContext::wake(loop);
}
void streamReadable(pa_stream*, size_t, void* loop) {
    PulseContext::wake(loop);
}
} // namespace

PulseAudioSource::~PulseAudioSource() {
    close();
}

void PulseAudioSource::start() {
    close(); // a stream and connection the server dropped are made anew
    m_pulse.connect();
    pa_sample_spec spec{PA_SAMPLE_S16NE, static_cast<uint32_t>(SampleRate), 1};
    // Small fragments: the recogniser hears the end of speech soon after it came.
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(30 * 1000, &spec));
    bool ready = false;
    {
        PulseContext::Lock lock(m_pulse);
        m_stopped = false;
        m_stream = pa_stream_new(m_pulse.context(), "recogniser", &spec, nullptr);
        pa_stream_set_state_callback(m_stream, streamChanged, m_pulse.loop());
        pa_stream_set_read_callback(m_stream, streamReadable, m_pulse.loop());
        ready = pa_stream_connect_record(m_stream, nullptr, &attr, PA_STREAM_ADJUST_LATENCY) == 0 &&
                m_pulse.waitReady(m_stream);
    }
    if (!ready) {
        const QString why = m_pulse.lastError();
        close();
        throw PlatformError(QStringLiteral("Cannot open the microphone: %1").arg(why));
    }
}

std::size_t PulseAudioSource::read(std::int16_t* buffer, std::size_t max) {
    if (!m_stream)
        return 0;
    PulseContext::Lock lock(m_pulse);
    while (m_left.empty()) {
        if (m_stopped || pa_stream_get_state(m_stream) != PA_STREAM_READY)
            return 0;
        const void* data = nullptr;
        size_t bytes = 0;
        if (pa_stream_peek(m_stream, &data, &bytes) < 0)
            return 0;
        if (bytes == 0) {
            pa_threaded_mainloop_wait(m_pulse.loop());
            continue;
        }
        if (data) {
            const auto* samples = static_cast<const std::int16_t*>(data);
            m_left.assign(samples, samples + bytes / sizeof(std::int16_t));
        } else {
            m_left.assign(bytes / sizeof(std::int16_t), 0); // a hole: silence
        }
        pa_stream_drop(m_stream);
    }
    const std::size_t n = std::min(max, m_left.size());
    std::memcpy(buffer, m_left.data(), n * sizeof(std::int16_t));
    m_left.erase(m_left.begin(), m_left.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
}

void PulseAudioSource::stop() {
    if (!m_stream)
        return;
    PulseContext::Lock lock(m_pulse);
    m_stopped = true;
    pa_threaded_mainloop_signal(m_pulse.loop(), 0);
}

void PulseAudioSource::close() {
    if (m_stream) {
        PulseContext::Lock lock(m_pulse);
        pa_stream_set_state_callback(m_stream, nullptr, nullptr);
        pa_stream_set_read_callback(m_stream, nullptr, nullptr);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    m_pulse.disconnect();
}

} // namespace platform
