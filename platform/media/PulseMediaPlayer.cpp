#include "media/PulseMediaPlayer.h"

#include <QFile>
#include <QThread>

#include <pulse/error.h>
#include <pulse/simple.h>
#include <sndfile.h>

#include <vector>

namespace platform {

// One playback: the worker reads `stop` and sets `done`.
struct PulseMediaPlayer::Run {
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
};

namespace {

void playFile(const QString& path, const std::atomic<bool>& stop) {
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return;
    pa_sample_spec spec{PA_SAMPLE_S16LE, static_cast<uint32_t>(info.samplerate),
                        static_cast<uint8_t>(info.channels)};
    int err = 0;
    pa_simple* out = pa_simple_new(nullptr, "Verbaro", PA_STREAM_PLAYBACK, nullptr, "lesson", &spec,
                                   nullptr, nullptr, &err);
    if (out) {
        // Small blocks so that a stop is heard within about 50 ms.
        std::vector<short> block(static_cast<size_t>(info.samplerate / 20 * info.channels));
        sf_count_t got = 0;
        while (!stop && (got = sf_read_short(file, block.data(),
                                             static_cast<sf_count_t>(block.size()))) > 0) {
            if (pa_simple_write(out, block.data(), static_cast<size_t>(got) * sizeof(short), &err) <
                0)
                break;
        }
        if (stop)
            pa_simple_flush(out, &err);
        else
            pa_simple_drain(out, &err);
        pa_simple_free(out);
    }
    sf_close(file);
}

} // namespace

PulseMediaPlayer::PulseMediaPlayer() : m_context(std::make_unique<QObject>()) {}

PulseMediaPlayer::~PulseMediaPlayer() {
    finishPlayback();
}

bool PulseMediaPlayer::open(const QString& path, QString* error) {
    close();
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file) {
        if (error)
            *error = QStringLiteral("Cannot open the media file %1").arg(path);
        return false;
    }
    sf_close(file);
    m_path = path;
    m_open = true;
    return true;
}

bool PulseMediaPlayer::play(std::function<void()> notify) {
    if (!m_open)
        return false;
    finishPlayback();
    auto run = std::make_shared<Run>();
    m_run = run;
    // The context lives on the window thread: the notice runs there.
    m_context->moveToThread(QThread::currentThread());
    // The thread is joined before the context goes away.
    QObject* context = m_context.get();
    m_thread = std::thread([run, path = m_path, context, notify = std::move(notify)] {
        playFile(path, run->stop);
        run->done = true;
        if (notify)
            QMetaObject::invokeMethod(context, notify, Qt::QueuedConnection);
    });
    return true;
}

MediaMode PulseMediaPlayer::mode() const {
    if (!m_open)
        return MediaMode::NotOpen;
    return m_run && !m_run->done ? MediaMode::Playing : MediaMode::Stopped;
}

void PulseMediaPlayer::close() {
    finishPlayback();
    m_open = false;
    m_path.clear();
}

void PulseMediaPlayer::finishPlayback() {
    if (m_run)
        m_run->stop = true;
    if (m_thread.joinable())
        m_thread.join();
    m_run.reset();
}

} // namespace platform
