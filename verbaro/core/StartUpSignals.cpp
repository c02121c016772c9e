#include "core/StartUpSignals.h"

#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array kCaught{SIGTERM, SIGINT, SIGHUP};

// The pipe's writing end, for the handler; -1 while no instance lives.
std::atomic<int> writeEnd{-1};
std::array<struct sigaction, kCaught.size()> previous{};

// Only what is safe inside a signal handler: one write to the pipe.
void onTerminationSignal(int signal) {
    const int savedErrno = errno;
    const int fd = writeEnd.load();
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signal);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

} // namespace

StartUpSignals::StartUpSignals(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), m_onSignal(std::move(onSignal)) {
    static_assert(std::atomic<int>::is_always_lock_free);
    if (writeEnd.load() >= 0) {
        qWarning("Termination signals are caught already");
        return;
    }
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("Cannot catch termination signals: %s", std::strerror(errno));
        m_pipe[0] = m_pipe[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StartUpSignals::readSignals);
    writeEnd = m_pipe[1];
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    // A second signal finds the default action again and ends the program.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (std::size_t i = 0; i < kCaught.size(); ++i)
        sigaction(kCaught[i], &action, &previous[i]);
}

StartUpSignals::~StartUpSignals() {
    if (m_pipe[1] < 0)
        return;
    for (std::size_t i = 0; i < kCaught.size(); ++i)
        sigaction(kCaught[i], &previous[i], nullptr);
    writeEnd = -1;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void StartUpSignals::readSignals() {
    unsigned char byte = 0;
    while (::read(m_pipe[0], &byte, 1) == 1) {
        if (m_onSignal)
            m_onSignal(byte);
    }
}
