#pragma once

#include <QString>
#include <chrono>
#include <functional>
#include <memory>

struct pa_mainloop;
struct pa_context;

namespace platform {

// The PulseAudio client core every sound service of ours is built on (the
// sound check, the synchronous player, the voice's stream, the media player,
// the recogniser's microphone, the mixer): one client connection to the
// server, driven on the caller's thread by a loop that never waits past a
// deadline, so that a server that is missing or stops answering cannot hang
// the caller. Callbacks are not needed: runUntil() looks at its condition
// after every event the loop handled.
class PulseConnection {
public:
    using Deadline = std::chrono::steady_clock::time_point;

    // Raises PlatformError when the client library cannot be set up at all.
    // The server lists the connection under `clientName`.
    explicit PulseConnection(const char* clientName = "Verbaro");
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    // Connects to the server the usual client settings name (PULSE_SERVER,
    // client.conf). Never starts a server. False when none answers in time.
    bool connect(Deadline deadline);
    // A new connection, connected; raises PlatformError naming the library's
    // reason when no server answers in time.
    static std::unique_ptr<PulseConnection> open(const char* clientName, Deadline deadline);
    // The same, given up as soon as `abandon` returns true (see wakeup()).
    bool connect(Deadline deadline, const std::function<bool()>& abandon);

    // Runs the loop until `done` returns true. False when the deadline passes
    // first or the connection is lost.
    bool runUntil(const std::function<bool()>& done, Deadline deadline);

    pa_context* context() const { return m_context; }
    // True while connecting or connected; false once the connection failed
    // or was lost (the server went away).
    bool alive() const;
    // The library's words for the last failure.
    QString lastError() const;

    // Makes a runUntil() waiting on another thread look at its condition
    // again at once; the one call that may come from any thread.
    void wakeup();

private:
    pa_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
};

} // namespace platform
