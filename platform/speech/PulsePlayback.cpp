#include "PulsePlayback.h"

#include "PlatformError.h"

#include <algorithm>
#include <pulse/pulseaudio.h>

namespace platform {

namespace {
void streamChanged(pa_stream*, void* loop) {
    PulseContext::wake(loop);
}
void streamWritable(pa_stream*, size_t, void* loop) {
    PulseContext::wake(loop);
}
void operationDone(pa_stream*, int, void* loop) {
    PulseContext::wake(loop);
}
} // namespace

PulsePlayback::~PulsePlayback() {
    closeStream();
}

void PulsePlayback::open(int sampleRate, int channels) {
    if (m_stream && !alive()) {
        // The server went away under the stream: start over, it may be back.
        closeStream();
        m_pulse.disconnect();
    }
    if (m_stream && sampleRate == m_rate && channels == m_channels)
        return;
    m_pulse.connect();
    closeStream();
    openStream(sampleRate, channels);
}

bool PulsePlayback::alive() {
    PulseContext::Lock lock(m_pulse);
    return PA_CONTEXT_IS_GOOD(pa_context_get_state(m_pulse.context())) &&
           PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream));
}

void PulsePlayback::openStream(int sampleRate, int channels) {
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_S16NE;
    spec.rate = static_cast<uint32_t>(sampleRate);
    spec.channels = static_cast<uint8_t>(channels);
    if (!pa_sample_spec_valid(&spec))
        throw PlatformError(QStringLiteral("Unsupported sound format"));
    // A short server buffer keeps purge and end-of-stream close to what is heard.
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = static_cast<uint32_t>(pa_usec_to_bytes(100 * 1000, &spec));
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(-1);
    bool ready = false;
    {
        PulseContext::Lock lock(m_pulse);
        m_stream = pa_stream_new(m_pulse.context(), "voice", &spec, nullptr);
        pa_stream_set_state_callback(m_stream, streamChanged, m_pulse.loop());
        pa_stream_set_write_callback(m_stream, streamWritable, m_pulse.loop());
        ready = pa_stream_connect_playback(m_stream, nullptr, &attr, PA_STREAM_ADJUST_LATENCY,
                                           nullptr, nullptr) == 0 &&
                m_pulse.waitReady(m_stream);
    }
    if (ready) {
        m_rate = sampleRate;
        m_channels = channels;
        return;
    }
    const QString why = m_pulse.lastError();
    closeStream();
    m_pulse.disconnect();
    throw PlatformError(QStringLiteral("Cannot open a sound stream: %1").arg(why));
}

void PulsePlayback::write(const std::int16_t* samples, std::size_t count) {
    if (!m_stream)
        return;
    const auto* bytes = reinterpret_cast<const char*>(samples);
    std::size_t left = count * sizeof(std::int16_t);
    PulseContext::Lock lock(m_pulse);
    while (left > 0) {
        if (pa_stream_get_state(m_stream) != PA_STREAM_READY)
            throw PlatformError(QStringLiteral("The sound stream broke off"));
        const std::size_t room = pa_stream_writable_size(m_stream);
        if (room == 0 || room == static_cast<std::size_t>(-1)) {
            pa_threaded_mainloop_wait(m_pulse.loop());
            continue;
        }
        const std::size_t n = std::min(room, left);
        if (pa_stream_write(m_stream, bytes, n, nullptr, 0, PA_SEEK_RELATIVE) < 0)
            throw PlatformError(QStringLiteral("The sound stream broke off"));
        bytes += n;
        left -= n;
    }
}

void PulsePlayback::finish(pa_operation* operation) {
    if (!operation)
        return;
    while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING &&
           pa_stream_get_state(m_stream) == PA_STREAM_READY)
        pa_threaded_mainloop_wait(m_pulse.loop());
    pa_operation_unref(operation);
}

void PulsePlayback::drain() {
    if (!m_stream)
        return;
    PulseContext::Lock lock(m_pulse);
    finish(pa_stream_drain(m_stream, operationDone, m_pulse.loop()));
}

void PulsePlayback::flush() {
    if (!m_stream)
        return;
    PulseContext::Lock lock(m_pulse);
    finish(pa_stream_flush(m_stream, operationDone, m_pulse.loop()));
}

void PulsePlayback::closeStream() {
    if (!m_stream)
        return;
    PulseContext::Lock lock(m_pulse);
    pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    pa_stream_set_write_callback(m_stream, nullptr, nullptr);
    pa_stream_disconnect(m_stream);
    pa_stream_unref(m_stream);
    m_stream = nullptr;
}

} // namespace platform
