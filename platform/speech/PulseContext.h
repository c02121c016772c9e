#pragma once

#include <QString>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;

namespace platform {

// A connection to the PulseAudio server on a threaded main loop of its own,
// shared by the blocking playback and capture streams built on it.
class PulseContext {
public:
    // Keeps the main loop locked for a scope.
    class Lock {
    public:
        explicit Lock(const PulseContext& pulse);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        pa_threaded_mainloop* m_loop;
    };

    PulseContext() = default;
    ~PulseContext();
    PulseContext(const PulseContext&) = delete;
    PulseContext& operator=(const PulseContext&) = delete;

    // Connects unless connected; raises PlatformError when the server does not answer.
    void connect();
    bool connected() const { return m_context != nullptr; }
    void disconnect();

    pa_threaded_mainloop* loop() const { return m_loop; }
    pa_context* context() const { return m_context; }
    // Waits (locked) until the stream is ready; false when it failed.
    bool waitReady(pa_stream* stream) const;
    // Wakes the thread waiting on the main loop; the callbacks' user data is the loop.
    static void wake(void* loop);
    QString lastError() const;

private:
    bool contextReady();

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
};

} // namespace platform
