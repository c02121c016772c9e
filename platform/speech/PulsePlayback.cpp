#include "PulsePlayback.h"

#include "PlatformError.h"

#include <algorithm>
#include <pulse/pulseaudio.h>

namespace platform {

namespace {

// Every callback only wakes the thread waiting on the main loop.
void wake(void* loop) {
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
}
void contextChanged(pa_context*, void* loop) {
    wake(loop);
}
void streamChanged(pa_stream*, void* loop) {
    wake(loop);
}
void streamWritable(pa_stream*, size_t, void* loop) {
    wake(loop);
}
void operationDone(pa_stream*, int, void* loop) {
    wake(loop);
}

// Keeps the threaded main loop locked for a scope.
class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop* loop) : m_loop(loop) {
        pa_threaded_mainloop_lock(loop);
    }
    ~LoopLock() { pa_threaded_mainloop_unlock(m_loop); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pa_threaded_mainloop* m_loop;
};

} // namespace

PulsePlayback::~PulsePlayback() {
    closeServer();
}

void PulsePlayback::fail(const QString& what) {
    const int code = m_context ? pa_context_errno(m_context) : PA_ERR_CONNECTIONREFUSED;
    const QString message = QStringLiteral("%1: %2").arg(what, pa_strerror(code));
    closeServer();
    throw PlatformError(message);
}

void PulsePlayback::connectServer() {
    if (m_context)
        return;
    m_loop = pa_threaded_mainloop_new();
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Verbaro");
    pa_context_set_state_callback(m_context, contextChanged, m_loop);
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        fail(QStringLiteral("Cannot reach the sound server"));
    pa_threaded_mainloop_start(m_loop);
    if (!contextReady())
        fail(QStringLiteral("Cannot reach the sound server"));
}

bool PulsePlayback::contextReady() {
    LoopLock lock(m_loop);
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(m_context);
        if (state == PA_CONTEXT_READY)
            return true;
        if (!PA_CONTEXT_IS_GOOD(state))
            return false;
        pa_threaded_mainloop_wait(m_loop);
    }
}

void PulsePlayback::open(int sampleRate, int channels) {
    if (m_stream && sampleRate == m_rate && channels == m_channels)
        return;
    connectServer();
    closeStream();
    openStream(sampleRate, channels);
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
    {
        LoopLock lock(m_loop);
        m_stream = pa_stream_new(m_context, "voice", &spec, nullptr);
        pa_stream_set_state_callback(m_stream, streamChanged, m_loop);
        pa_stream_set_write_callback(m_stream, streamWritable, m_loop);
        if (pa_stream_connect_playback(m_stream, nullptr, &attr, PA_STREAM_ADJUST_LATENCY, nullptr,
                                       nullptr) == 0) {
            for (;;) {
                const pa_stream_state_t state = pa_stream_get_state(m_stream);
                if (state == PA_STREAM_READY) {
                    m_rate = sampleRate;
                    m_channels = channels;
                    return;
                }
                if (!PA_STREAM_IS_GOOD(state))
                    break;
                pa_threaded_mainloop_wait(m_loop);
            }
        }
    }
    fail(QStringLiteral("Cannot open a sound stream"));
}

void PulsePlayback::write(const std::int16_t* samples, std::size_t count) {
    if (!m_stream)
        return;
    const auto* bytes = reinterpret_cast<const char*>(samples);
    std::size_t left = count * sizeof(std::int16_t);
    LoopLock lock(m_loop);
    while (left > 0) {
        if (pa_stream_get_state(m_stream) != PA_STREAM_READY)
            throw PlatformError(QStringLiteral("The sound stream broke off"));
        const std::size_t room = pa_stream_writable_size(m_stream);
        if (room == 0 || room == static_cast<std::size_t>(-1)) {
            pa_threaded_mainloop_wait(m_loop);
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
        pa_threaded_mainloop_wait(m_loop);
    pa_operation_unref(operation);
}

void PulsePlayback::drain() {
    if (!m_stream)
        return;
    LoopLock lock(m_loop);
    finish(pa_stream_drain(m_stream, operationDone, m_loop));
}

void PulsePlayback::flush() {
    if (!m_stream)
        return;
    LoopLock lock(m_loop);
    finish(pa_stream_flush(m_stream, operationDone, m_loop));
}

void PulsePlayback::closeStream() {
    if (!m_stream)
        return;
    LoopLock lock(m_loop);
    pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    pa_stream_set_write_callback(m_stream, nullptr, nullptr);
    pa_stream_disconnect(m_stream);
    pa_stream_unref(m_stream);
    m_stream = nullptr;
}

void PulsePlayback::closeServer() {
    closeStream();
    if (m_loop)
        pa_threaded_mainloop_stop(m_loop);
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    if (m_loop)
        pa_threaded_mainloop_free(m_loop);
    m_loop = nullptr;
}

} // namespace platform
