#include "media/PulseMediaPlayer.h"

#include "PlatformError.h"
#include "sound/PulseConnection.h"

#include <QFile>
#include <QThread>

#include <algorithm>
#include <pulse/pulseaudio.h>
#include <sndfile.h>

#include <mutex>
#include <vector>

namespace platform {

// One playback. The worker reads `stop` and sets `done`; a stop wakes the
// worker's sound-server loop so that it sees the flag at once.
struct PulseMediaPlayer::Run {
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};

    void requestStop() {
        stop = true;
        std::lock_guard lock(mutex);
        if (pulse)
            pulse->wakeup();
    }
    void attach(PulseConnection* connection) {
        std::lock_guard lock(mutex);
        pulse = connection;
    }

private:
    std::mutex mutex;
    PulseConnection* pulse = nullptr; // while the worker's loop runs
};

namespace {

using Clock = std::chrono::steady_clock;

// How long the server may take to answer, and how long playback may make no
// progress, before the worker gives up.
constexpr auto kAnswerTimeout = std::chrono::seconds(3);
constexpr auto kStallTimeout = std::chrono::seconds(10);
// After a stop: how long to wait for the server to confirm the stream is gone.
constexpr auto kGoneTimeout = std::chrono::milliseconds(500);
// A short server buffer: the notice comes when the end has been heard, and a
// stop has little to throw away.
constexpr pa_usec_t kTargetLatencyUsec = 100 * 1000;
constexpr std::size_t kChunkFrames = 4096;

struct SndfileClose {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
struct OperationUnref {
    void operator()(pa_operation* o) const {
        if (pa_operation_get_state(o) == PA_OPERATION_RUNNING)
            pa_operation_cancel(o);
        pa_operation_unref(o);
    }
};
using Operation = std::unique_ptr<pa_operation, OperationUnref>;

void streamUnref(pa_stream* s) {
    pa_stream_unref(s);
}
using Stream = std::unique_ptr<pa_stream, decltype(&streamUnref)>;

void drained(pa_stream*, int, void* userdata) {
    *static_cast<bool*>(userdata) = true;
}

bool ready(pa_stream* s) {
    return pa_stream_get_state(s) == PA_STREAM_READY;
}

// Plays the file on the default sink until it has been heard or `stop` is
// set; a stop drops what the server still holds instead of playing it out.
void playStream(PulseConnection& pulse, SNDFILE* file, const SF_INFO& info,
                const std::atomic<bool>& stop) {
    const pa_sample_spec spec{PA_SAMPLE_S16NE, static_cast<std::uint32_t>(info.samplerate),
                              static_cast<std::uint8_t>(info.channels)};
    if (!pa_sample_spec_valid(&spec))
        return;
    Stream stream(pa_stream_new(pulse.context(), "lesson", &spec, nullptr), &streamUnref);
    if (!stream)
        return;
    pa_stream* s = stream.get();
    constexpr auto serverDefault = static_cast<std::uint32_t>(-1);
    const pa_buffer_attr buffer{
        serverDefault, static_cast<std::uint32_t>(pa_usec_to_bytes(kTargetLatencyUsec, &spec)),
        serverDefault, serverDefault, serverDefault};
    if (pa_stream_connect_playback(s, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr,
                                   nullptr) < 0)
        return;
    const auto stopped = [&stop] { return stop.load(); };
    const auto settled = [s] { return pa_stream_get_state(s) != PA_STREAM_CREATING; };
    if (pulse.runUntil([&] { return stopped() || settled(); }, Clock::now() + kAnswerTimeout) &&
        !stopped() && ready(s)) {
        const std::size_t frameBytes = pa_frame_size(&spec);
        std::vector<short> samples(kChunkFrames * spec.channels);
        const auto writable = [s] { return pa_stream_writable_size(s) > 0 || !ready(s); };
        bool fed = false;
        while (
            pulse.runUntil([&] { return stopped() || writable(); }, Clock::now() + kStallTimeout) &&
            !stopped() && ready(s)) {
            const std::size_t wanted =
                std::clamp<std::size_t>(pa_stream_writable_size(s) / frameBytes, 1, kChunkFrames);
            const sf_count_t frames =
                sf_readf_short(file, samples.data(), static_cast<sf_count_t>(wanted));
            if (frames <= 0) {
                fed = true;
                break;
            }
            if (pa_stream_write(s, samples.data(), static_cast<std::size_t>(frames) * frameBytes,
                                nullptr, 0, PA_SEEK_RELATIVE) < 0)
                break;
        }
        bool done = false;
        if (fed) {
            // The server answers the drain once the last sample has been played.
            Operation drain(pa_stream_drain(s, drained, &done));
            pulse.runUntil([&] { return stopped() || done || !ready(s); },
                           Clock::now() + kStallTimeout);
        }
        if (!done && ready(s))
            Operation(pa_stream_flush(s, nullptr, nullptr));
    }
    if (pa_stream_get_state(s) != PA_STREAM_TERMINATED &&
        pa_stream_get_state(s) != PA_STREAM_FAILED) {
        pa_stream_disconnect(s);
        pulse.runUntil([s] { return pa_stream_get_state(s) == PA_STREAM_TERMINATED; },
                       Clock::now() + kGoneTimeout);
    }
}

} // namespace

void PulseMediaPlayer::playFile(const QString& path, Run& run) {
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndfileClose> file(
        sf_open(QFile::encodeName(path).constData(), SFM_READ, &info));
    if (!file || info.channels < 1 || static_cast<unsigned>(info.channels) > PA_CHANNELS_MAX ||
        info.samplerate <= 0)
        return;
    try {
        PulseConnection pulse;
        run.attach(&pulse);
        if (!run.stop &&
            pulse.connect(Clock::now() + kAnswerTimeout, [&run] { return run.stop.load(); }))
            playStream(pulse, file.get(), info, run.stop);
        run.attach(nullptr);
    } catch (const PlatformError&) {
        run.attach(nullptr); // no sound library: the play ends at once
    }
}

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
        playFile(path, *run);
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

// The worker answers a stop within one round of its loop, so the join is short.
void PulseMediaPlayer::finishPlayback() {
    if (m_run)
        m_run->requestStop();
    if (m_thread.joinable())
        m_thread.join();
    m_run.reset();
}

} // namespace platform
