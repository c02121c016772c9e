#pragma once

#include "IVoice.h"
#include "PulsePlayback.h"
#include "WaveFile.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace platform {

// The speech voice over PulseAudio: a queue of wave files played one after
// another on a player thread. Stream numbers and the speaking state are kept
// on the voice's own thread, from the events as they are delivered there, so
// "idle" means every queued stream has reported its end (or was purged); the
// first stream queued when idle is number 1. A purge bumps a generation
// counter, so events of dropped streams still on their way are discarded.
// A stream the sound output fails on ends in StreamFailed instead of its end
// event, and the streams queued behind it are dropped with it: the caller
// hears of the failure once and decides what comes next.
class PulseVoice : public IVoice {
    Q_OBJECT
public:
    explicit PulseVoice(QObject* parent = nullptr);
    ~PulseVoice() override;

    int Speak(const QString& text, int flags) override;
    VoiceStatus Status() const override;

private:
    struct Clip {
        qint32 number = 0;
        quint64 generation = 0;
        WaveFile wave;
    };
    enum class Edge { Start, End, Failed };
    // What became of a clip on the player thread.
    enum class Outcome { Played, Dropped, Failed };

    void purge();
    void playerLoop();
    Outcome play(const Clip& clip, QString& why);
    void dropQueued(quint64 generation);
    bool dropped(const Clip& clip) const { return clip.generation != m_generation.load(); }
    void post(Edge edge, const Clip& clip, qint64 position, const QString& why = {});
    void deliver(Edge edge, qint32 number, quint64 generation, qint64 position, const QString& why);

    // Window thread only.
    qint32 m_nextNumber = 1;
    int m_pending = 0;
    bool m_opened = false;

    // Shared with the player thread.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Clip> m_queue;
    bool m_quit = false;
    std::atomic<quint64> m_generation{0};

    PulsePlayback m_playback;
    std::thread m_player;
};

} // namespace platform
