#include "PulseVoice.h"

#include "PlatformError.h"
#include "process/HandlerGuard.h"

#include <QtDebug>
#include <algorithm>

namespace platform {

PulseVoice::PulseVoice(QObject* parent) : IVoice(parent), m_player([this] { playerLoop(); }) {}

PulseVoice::~PulseVoice() {
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_queue.clear();
        ++m_generation;
    }
    m_wake.notify_all();
    m_player.join();
}

int PulseVoice::Speak(const QString& text, int flags) {
    if (flags & SVSFPurgeBeforeSpeak)
        purge();
    if (text.isEmpty())
        return 0;
    if (!(flags & SVSFIsFilename))
        throw PlatformError(QStringLiteral("This voice plays wave files only"));
    Clip clip;
    clip.wave = WaveFile::read(text);
    if (!m_opened) {
        // Nothing is queued yet, so the player thread does not touch the
        // stream: find out here, in the caller, whether the server answers.
        m_playback.open(clip.wave.sampleRate, clip.wave.channels);
        m_opened = true;
    }
    if (m_pending == 0)
        m_nextNumber = 1;
    clip.number = m_nextNumber++;
    ++m_pending;
    {
        std::lock_guard lock(m_mutex);
        clip.generation = m_generation.load();
        m_queue.push_back(std::move(clip));
    }
    m_wake.notify_all();
    return m_nextNumber - 1;
}

VoiceStatus PulseVoice::Status() const {
    return VoiceStatus{m_pending > 0 ? SRSEIsSpeaking : SRSEDone};
}

void PulseVoice::purge() {
    {
        std::lock_guard lock(m_mutex);
        m_queue.clear();
        ++m_generation;
    }
    m_pending = 0;
}

void PulseVoice::playerLoop() {
    for (;;) {
        Clip clip;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || !m_queue.empty(); });
            if (m_quit)
                return;
            clip = std::move(m_queue.front());
            m_queue.pop_front();
        }
        if (dropped(clip))
            continue;
        try {
            post(Edge::Start, clip, 0);
            QString why;
            switch (play(clip, why)) {
            case Outcome::Played:
                post(Edge::End, clip, static_cast<qint64>(clip.wave.samples.size() * 2));
                break;
            case Outcome::Dropped:
                break;
            case Outcome::Failed:
                dropQueued(clip.generation);
                post(Edge::Failed, clip, 0, why);
                break;
            }
        } catch (...) {
            // A notice that cannot be posted (no memory) is lost; the thread
            // goes on with the next clip rather than ending the program.
            qWarning() << "voice:" << HandlerGuard::describe(std::current_exception());
        }
    }
}

PulseVoice::Outcome PulseVoice::play(const Clip& clip, QString& why) {
    try {
        m_playback.open(clip.wave.sampleRate, clip.wave.channels);
        const std::size_t chunk = std::max<std::size_t>(m_playback.chunkSamples(), 1);
        const auto& samples = clip.wave.samples;
        for (std::size_t at = 0; at < samples.size(); at += chunk) {
            if (dropped(clip)) {
                m_playback.flush();
                return Outcome::Dropped;
            }
            m_playback.write(samples.data() + at, std::min(chunk, samples.size() - at));
        }
        m_playback.drain();
    } catch (...) {
        // Whatever failed (the server, memory), nothing may leave this thread:
        // the failure is told on the voice's own thread.
        why = HandlerGuard::describe(std::current_exception());
        return dropped(clip) ? Outcome::Dropped : Outcome::Failed;
    }
    return dropped(clip) ? Outcome::Dropped : Outcome::Played;
}

// The clips queued behind a failed one would fail the same way.
void PulseVoice::dropQueued(quint64 generation) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_queue, [generation](const Clip& c) { return c.generation == generation; });
}

void PulseVoice::post(Edge edge, const Clip& clip, qint64 position, const QString& why) {
    const qint32 number = clip.number;
    const quint64 generation = clip.generation;
    QMetaObject::invokeMethod(
        this,
        [this, edge, number, generation, position, why] {
            deliver(edge, number, generation, position, why);
        },
        Qt::QueuedConnection);
}

void PulseVoice::deliver(Edge edge, qint32 number, quint64 generation, qint64 position,
                         const QString& why) {
    if (generation != m_generation.load())
        return;
    switch (edge) {
    case Edge::Start:
        emit StartStream(number, QVariant(position));
        return;
    case Edge::End:
        m_pending = std::max(m_pending - 1, 0);
        emit EndStream(number, QVariant(position));
        return;
    case Edge::Failed:
        // Streams queued after the failure (and before this notice) go too.
        purge();
        emit StreamFailed(number, why);
        return;
    }
}

} // namespace platform
