#include "PulsePlayback.h"

#include "PlatformError.h"
#include "sound/PulseConnection.h"

#include <algorithm>
#include <pulse/pulseaudio.h>

namespace platform {

namespace {
using Clock = std::chrono::steady_clock;

bool streamReady(pa_stream* stream) {
    return pa_stream_get_state(stream) == PA_STREAM_READY;
}
} // namespace

PulsePlayback::PulsePlayback(std::chrono::milliseconds answerTimeout,
                             std::chrono::milliseconds stallTimeout)
    : m_answerTimeout(answerTimeout), m_stallTimeout(stallTimeout) {}

PulsePlayback::~PulsePlayback() {
    closeStream();
}

void PulsePlayback::open(int sampleRate, int channels) {
    if (m_stream && streamReady(m_stream) && sampleRate == m_rate && channels == m_channels)
        return;
    closeStream();
    connect();
    openStream(sampleRate, channels);
}

// A connection that broke (the server went away) is replaced by a new one.
void PulsePlayback::connect() {
    if (m_pulse && m_pulse->alive())
        return;
    m_pulse.reset();
    m_pulse = PulseConnection::open("Verbaro voice", Clock::now() + m_answerTimeout);
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
    m_stream = pa_stream_new(m_pulse->context(), "voice", &spec, nullptr);
    pa_stream* s = m_stream;
    const bool ready =
        s &&
        pa_stream_connect_playback(s, nullptr, &attr, PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) ==
            0 &&
        m_pulse->runUntil([s] { return pa_stream_get_state(s) != PA_STREAM_CREATING; },
                          Clock::now() + m_answerTimeout) &&
        streamReady(s);
    if (ready) {
        m_rate = sampleRate;
        m_channels = channels;
        return;
    }
    const QString why = m_pulse->lastError();
    closeStream();
    m_pulse.reset();
    throw PlatformError(QStringLiteral("Cannot open a sound stream: %1").arg(why));
}

void PulsePlayback::brokeOff() {
    closeStream();
    throw PlatformError(QStringLiteral("The sound stream broke off"));
}

void PulsePlayback::write(const std::int16_t* samples, std::size_t count) {
    if (!m_stream)
        return;
    pa_stream* s = m_stream;
    const auto* bytes = reinterpret_cast<const char*>(samples);
    std::size_t left = count * sizeof(std::int16_t);
    const auto writableOrFailed = [s] {
        const std::size_t room = pa_stream_writable_size(s);
        return (room > 0 && room != static_cast<std::size_t>(-1)) || !streamReady(s);
    };
    while (left > 0) {
        if (!m_pulse->runUntil(writableOrFailed, Clock::now() + m_stallTimeout) || !streamReady(s))
            brokeOff();
        const std::size_t n = std::min(pa_stream_writable_size(s), left);
        if (pa_stream_write(s, bytes, n, nullptr, 0, PA_SEEK_RELATIVE) < 0)
            brokeOff();
        bytes += n;
        left -= n;
    }
}

void PulsePlayback::finish(pa_operation* operation) {
    if (!operation)
        brokeOff();
    pa_stream* s = m_stream;
    const bool done = m_pulse->runUntil(
        [operation, s] {
            return pa_operation_get_state(operation) != PA_OPERATION_RUNNING || !streamReady(s);
        },
        Clock::now() + m_stallTimeout);
    pa_operation_unref(operation);
    if (!done)
        brokeOff();
}

void PulsePlayback::drain() {
    if (m_stream)
        finish(pa_stream_drain(m_stream, nullptr, nullptr));
}

void PulsePlayback::flush() {
    if (m_stream)
        finish(pa_stream_flush(m_stream, nullptr, nullptr));
}

void PulsePlayback::closeStream() {
    if (!m_stream)
        return;
    pa_stream_disconnect(m_stream);
    pa_stream_unref(m_stream);
    m_stream = nullptr;
}

} // namespace platform
