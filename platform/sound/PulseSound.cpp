#include "sound/PulseSound.h"

#include "sound/PulseConnection.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <memory>
#include <pulse/pulseaudio.h>
#include <sndfile.h>
#include <vector>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

struct OperationUnref {
    void operator()(pa_operation* o) const { pa_operation_unref(o); }
};
struct StreamClose {
    void operator()(pa_stream* s) const {
        pa_stream_disconnect(s);
        pa_stream_unref(s);
    }
};
struct SndfileClose {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
using Operation = std::unique_ptr<pa_operation, OperationUnref>;
using Stream = std::unique_ptr<pa_stream, StreamClose>;

// Most frames decoded and written in one step while playing.
constexpr std::size_t kChunkFrames = 4096;
// The playback buffer we ask for. A short one keeps the server from taking
// seconds of sound ahead of the speaker, so a finished drain means heard.
constexpr pa_usec_t kTargetLatencyUsec = 100 * 1000;

struct SinkCount {
    int sinks = 0;
    bool done = false;
};

// The sink the sound server offers on a machine without a sound card
// ("Dummy Output"), so that clients have somewhere to play: not a device.
constexpr char kPlaceholderSink[] = "auto_null";

void countSink(pa_context*, const pa_sink_info* info, int eol, void* userdata) {
    auto* count = static_cast<SinkCount*>(userdata);
    if (eol != 0)
        count->done = true;
    else if (info && qstrcmp(info->name, kPlaceholderSink) != 0)
        ++count->sinks;
}

struct DrainResult {
    bool done = false;
    bool success = false;
};

void drained(pa_stream*, int success, void* userdata) {
    auto* result = static_cast<DrainResult*>(userdata);
    result->done = true;
    result->success = success != 0;
}

pa_buffer_attr shortBuffer(const pa_sample_spec& spec) {
    constexpr auto serverDefault = static_cast<std::uint32_t>(-1);
    pa_buffer_attr buffer;
    buffer.maxlength = serverDefault;
    buffer.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(kTargetLatencyUsec, &spec));
    buffer.prebuf = serverDefault;
    buffer.minreq = serverDefault;
    buffer.fragsize = serverDefault;
    return buffer;
}

bool streamSettled(pa_stream* stream) {
    return pa_stream_get_state(stream) != PA_STREAM_CREATING;
}

} // namespace

PulseSound::PulseSound(std::chrono::milliseconds answerTimeout,
                       std::chrono::milliseconds stallTimeout)
    : m_answerTimeout(answerTimeout), m_stallTimeout(stallTimeout) {}

int PulseSound::waveOutDeviceCount() {
    PulseConnection pulse;
    const auto deadline = Clock::now() + m_answerTimeout;
    if (!pulse.connect(deadline))
        return 0;
    SinkCount count;
    Operation listing(pa_context_get_sink_info_list(pulse.context(), countSink, &count));
    if (!listing || !pulse.runUntil([&count] { return count.done; }, deadline))
        return 0;
    return count.sinks;
}

bool PulseSound::playWaveSync(const QString& path) {
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SndfileClose> file(
        sf_open(QFile::encodeName(path).constData(), SFM_READ, &info));
    if (!file || info.channels < 1 || static_cast<unsigned>(info.channels) > PA_CHANNELS_MAX ||
        info.samplerate <= 0)
        return false;
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32NE, static_cast<std::uint32_t>(info.samplerate),
                              static_cast<std::uint8_t>(info.channels)};
    if (!pa_sample_spec_valid(&spec))
        return false;

    PulseConnection pulse;
    if (!pulse.connect(Clock::now() + m_answerTimeout))
        return false;
    const QByteArray name = QFileInfo(path).fileName().toUtf8();
    Stream stream(pa_stream_new(pulse.context(), name.constData(), &spec, nullptr));
    const pa_buffer_attr buffer = shortBuffer(spec);
    if (!stream || pa_stream_connect_playback(stream.get(), nullptr, &buffer,
                                              PA_STREAM_ADJUST_LATENCY, nullptr, nullptr) < 0)
        return false;
    pa_stream* s = stream.get();
    if (!pulse.runUntil([s] { return streamSettled(s); }, Clock::now() + m_answerTimeout) ||
        pa_stream_get_state(s) != PA_STREAM_READY)
        return false;

    // Feed the stream as fast as the server takes the sound.
    const std::size_t frameBytes = pa_frame_size(&spec);
    std::vector<float> samples(kChunkFrames * spec.channels);
    const auto writableOrFailed = [s] {
        return pa_stream_writable_size(s) > 0 || pa_stream_get_state(s) != PA_STREAM_READY;
    };
    for (;;) {
        if (!pulse.runUntil(writableOrFailed, Clock::now() + m_stallTimeout) ||
            pa_stream_get_state(s) != PA_STREAM_READY)
            return false;
        const std::size_t wanted =
            std::clamp<std::size_t>(pa_stream_writable_size(s) / frameBytes, 1, kChunkFrames);
        const sf_count_t frames =
            sf_readf_float(file.get(), samples.data(), static_cast<sf_count_t>(wanted));
        if (frames <= 0)
            break;
        if (pa_stream_write(s, samples.data(), static_cast<std::size_t>(frames) * frameBytes,
                            nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return false;
    }

    // The server answers the drain once the last sample has been played.
    DrainResult result;
    Operation drain(pa_stream_drain(s, drained, &result));
    return drain &&
           pulse.runUntil([&result] { return result.done; }, Clock::now() + m_stallTimeout) &&
           result.success;
}

} // namespace platform
