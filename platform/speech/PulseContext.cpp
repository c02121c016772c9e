#include "PulseContext.h"

#include "PlatformError.h"

#include <pulse/pulseaudio.h>

namespace platform {

namespace {
void contextChanged(pa_context*, void* loop) {
    PulseContext::wake(loop);
}
} // namespace

PulseContext::Lock::Lock(const PulseContext& pulse) : m_loop(pulse.loop()) {
    pa_threaded_mainloop_lock(m_loop);
}

PulseContext::Lock::~Lock() {
    pa_threaded_mainloop_unlock(m_loop);
}

PulseContext::~PulseContext() {
    disconnect();
}

void PulseContext::wake(void* loop) {
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
}

QString PulseContext::lastError() const {
    return QString::fromUtf8(
        pa_strerror(m_context ? pa_context_errno(m_context) : PA_ERR_CONNECTIONREFUSED));
}

void PulseContext::connect() {
    if (m_context)
        return;
    m_loop = pa_threaded_mainloop_new();
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Verbaro");
    pa_context_set_state_callback(m_context, contextChanged, m_loop);
    bool ready = pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) == 0 &&
                 pa_threaded_mainloop_start(m_loop) == 0 && contextReady();
    if (!ready) {
        const QString why = lastError();
        disconnect();
        throw PlatformError(QStringLiteral("Cannot reach the sound server: %1").arg(why));
    }
}

bool PulseContext::contextReady() {
    Lock lock(*this);
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(m_context);
        if (state == PA_CONTEXT_READY)
            return true;
        if (!PA_CONTEXT_IS_GOOD(state))
            return false;
        pa_threaded_mainloop_wait(m_loop);
    }
}

bool PulseContext::waitReady(pa_stream* stream) const {
    for (;;) {
        const pa_stream_state_t state = pa_stream_get_state(stream);
        if (state == PA_STREAM_READY)
            return true;
        if (!PA_STREAM_IS_GOOD(state))
            return false;
        pa_threaded_mainloop_wait(m_loop);
    }
}

void PulseContext::disconnect() {
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
