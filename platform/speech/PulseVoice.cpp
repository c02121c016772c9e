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
            if (play(clip))
                post(Edge::End, clip, static_cast<qint64>(clip.wave.samples.size() * 2));
        } catch (...) {
            // A notice that cannot be posted (no memory) is lost; the thread
            // goes on with the next clip rather than ending the program.
            qWarning() << "voice:" << HandlerGuard::describe(std::current_exception());
        }
    }
}

bool PulseVoice::play(const Clip& clip) {
    try {
        m_playback.open(clip.wave.sampleRate, clip.wave.channels);
        const std::size_t chunk = std::max<std::size_t>(m_playback.chunkSamples(), 1);
        const auto& samples = clip.wave.samples;
        for (std::size_t at = 0; at < samples.size(); at += chunk) {
            if (dropped(clip)) {
                m_playback.flush();
                return false;
            }
            m_playback.write(samples.data() + at, std::min(chunk, samples.size() - at));
        }
        m_playback.drain();
    } catch (...) {
        // Whatever failed (the server, memory), the stream still ends, so
        // whoever waits for it goes on; nothing may leave this thread.
        qWarning() << "voice:" << HandlerGuard::describe(std::current_exception());
    }
    return !dropped(clip);
}

void PulseVoice::post(Edge edge, const Clip& clip, qint64 position) {
    const qint32 number = clip.number;
    const quint64 generation = clip.generation;
    QMetaObject::invokeMethod(
        this,
        [this, edge, number, generation, position] { deliver(edge, number, generation, position); },
        Qt::QueuedConnection);
}

void PulseVoice::deliver(Edge edge, qint32 number, quint64 generation, qint64 position) {
    if (generation != m_generation.load())
        return;
    if (edge == Edge::Start) {
        emit StartStream(number, QVariant(position));
        return;
    }
    m_pending = std::max(m_pending - 1, 0);
    emit EndStream(number, QVariant(position));
}

} // namespace platform
