#include "sound/PulseConnection.h"

#include "PlatformError.h"

#include <algorithm>
#include <pulse/pulseaudio.h>

namespace platform {

PulseConnection::PulseConnection(const char* clientName) {
    m_loop = pa_mainloop_new();
    if (m_loop)
        m_context = pa_context_new(pa_mainloop_get_api(m_loop), clientName);
    if (!m_context) {
        if (m_loop)
            pa_mainloop_free(m_loop);
        throw PlatformError(QStringLiteral("PulseAudio: cannot set up the client library"));
    }
}

PulseConnection::~PulseConnection() {
    pa_context_disconnect(m_context);
    pa_context_unref(m_context);
    pa_mainloop_free(m_loop);
}

std::unique_ptr<PulseConnection> PulseConnection::open(const char* clientName, Deadline deadline) {
    auto pulse = std::make_unique<PulseConnection>(clientName);
    if (!pulse->connect(deadline))
        throw PlatformError(
            QStringLiteral("Cannot reach the sound server: %1").arg(pulse->lastError()));
    return pulse;
}

bool PulseConnection::connect(Deadline deadline) {
    return connect(deadline, [] { return false; });
}

bool PulseConnection::connect(Deadline deadline, const std::function<bool()>& abandon) {
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return false;
    const auto isReady = [this] { return pa_context_get_state(m_context) == PA_CONTEXT_READY; };
    return runUntil([&] { return isReady() || abandon(); }, deadline) && isReady();
}

bool PulseConnection::alive() const {
    return PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context));
}

QString PulseConnection::lastError() const {
    // A deadline that passed leaves no error of the library's own.
    const int error = pa_context_errno(m_context);
    return QString::fromUtf8(pa_strerror(error != PA_OK ? error : PA_ERR_TIMEOUT));
}

void PulseConnection::wakeup() {
    pa_mainloop_wakeup(m_loop);
}

bool PulseConnection::runUntil(const std::function<bool()>& done, Deadline deadline) {
    while (!done()) {
        if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context)))
            return false;
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0)
            return false;
        // One round: wait at most until the deadline for an event, then handle it.
        if (pa_mainloop_prepare(m_loop, static_cast<int>(std::min<long long>(left, 1 << 30))) < 0 ||
            pa_mainloop_poll(m_loop) < 0 || pa_mainloop_dispatch(m_loop) < 0)
            return false;
    }
    return true;
}

} // namespace platform
