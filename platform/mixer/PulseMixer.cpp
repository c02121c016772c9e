#include "mixer/PulseMixer.h"

#include "PlatformError.h"
#include "sound/PulseConnection.h"

#include <QByteArray>
#include <QList>
#include <cmath>
#include <pulse/pulseaudio.h>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kMaxLevel = 65535;
constexpr std::uint32_t kSpeakerId = 1;
constexpr std::uint32_t kMicrophoneId = 2;

struct OperationUnref {
    void operator()(pa_operation* o) const { pa_operation_unref(o); }
};
using Operation = std::unique_ptr<pa_operation, OperationUnref>;

std::uint32_t levelOf(pa_volume_t volume) {
    const double level = std::round(volume * double(kMaxLevel) / PA_VOLUME_NORM);
    return level >= kMaxLevel ? kMaxLevel : static_cast<std::uint32_t>(level);
}

pa_volume_t volumeOf(std::uint32_t level) {
    return static_cast<pa_volume_t>(std::round(level * double(PA_VOLUME_NORM) / kMaxLevel));
}

// What one request brings back: set by the callbacks, read after the wait.
struct Answer {
    bool done = false;
    bool found = false;
    bool success = false;
    QByteArray name;
    pa_cvolume volume{};
};

void serverInfoArrived(pa_context*, const pa_server_info* info, void* userdata) {
    auto* answer = static_cast<Answer*>(userdata);
    answer->done = true;
    answer->found = info != nullptr;
    if (info) // default sink first, default source after it: one request tells both
        answer->name = QByteArray(info->default_sink_name ? info->default_sink_name : "") + '\n' +
                       QByteArray(info->default_source_name ? info->default_source_name : "");
}

void sinkArrived(pa_context*, const pa_sink_info* info, int eol, void* userdata) {
    auto* answer = static_cast<Answer*>(userdata);
    if (eol != 0) {
        answer->done = true;
        return;
    }
    if (info) {
        answer->found = true;
        answer->volume = info->volume;
    }
}

void sourceArrived(pa_context*, const pa_source_info* info, int eol, void* userdata) {
    auto* answer = static_cast<Answer*>(userdata);
    if (eol != 0) {
        answer->done = true;
        return;
    }
    // A monitor only echoes a sink's output: it is no microphone.
    if (info && info->monitor_of_sink == PA_INVALID_INDEX) {
        answer->found = true;
        answer->volume = info->volume;
    }
}

void requestDone(pa_context*, int success, void* userdata) {
    auto* answer = static_cast<Answer*>(userdata);
    answer->done = true;
    answer->success = success != 0;
}

class PulseMixerDevice : public IMixerDevice {
public:
    PulseMixerDevice(std::unique_ptr<PulseConnection> pulse, std::chrono::milliseconds timeout)
        : m_pulse(std::move(pulse)), m_timeout(timeout) {}

    std::optional<MixerControl> findVolumeControl(MixerLine line) override {
        Answer server;
        if (!wait(pa_context_get_server_info(m_pulse->context(), serverInfoArrived, &server),
                  server) ||
            !server.found)
            return std::nullopt;
        const bool speaker = line == MixerLine::Speaker;
        const QByteArray name = server.name.split('\n').value(speaker ? 0 : 1);
        const std::uint32_t id = speaker ? kSpeakerId : kMicrophoneId;
        if (name.isEmpty() || !query(id, name))
            return std::nullopt;
        (speaker ? m_sink : m_source) = name;
        return MixerControl{id, 0, kMaxLevel};
    }

    std::optional<std::uint32_t> readValue(const MixerControl& control) override {
        const std::optional<pa_cvolume> volume = query(control.id, nameOf(control));
        if (!volume)
            return std::nullopt;
        return levelOf(pa_cvolume_max(&*volume));
    }

    bool writeValue(const MixerControl& control, std::uint32_t level) override {
        if (level > kMaxLevel)
            return false;
        const QByteArray name = nameOf(control);
        std::optional<pa_cvolume> volume = query(control.id, name);
        if (!volume)
            return false;
        // Scaling keeps the channels' balance; a silent line gets all channels set.
        if (pa_cvolume_max(&*volume) == PA_VOLUME_MUTED)
            pa_cvolume_set(&*volume, volume->channels, volumeOf(level));
        else
            pa_cvolume_scale(&*volume, volumeOf(level));
        Answer answer;
        pa_context* c = m_pulse->context();
        pa_operation* o = control.id == kSpeakerId
                              ? pa_context_set_sink_volume_by_name(c, name.constData(), &*volume,
                                                                   requestDone, &answer)
                              : pa_context_set_source_volume_by_name(c, name.constData(), &*volume,
                                                                     requestDone, &answer);
        return wait(o, answer) && answer.success;
    }

private:
    QByteArray nameOf(const MixerControl& control) const {
        if (control.id == kSpeakerId)
            return m_sink;
        if (control.id == kMicrophoneId)
            return m_source;
        return {};
    }

    // The volume of the named sink (speaker id) or source (microphone id).
    std::optional<pa_cvolume> query(std::uint32_t id, const QByteArray& name) {
        if (name.isEmpty() || (id != kSpeakerId && id != kMicrophoneId))
            return std::nullopt;
        Answer answer;
        pa_context* c = m_pulse->context();
        pa_operation* o =
            id == kSpeakerId
                ? pa_context_get_sink_info_by_name(c, name.constData(), sinkArrived, &answer)
                : pa_context_get_source_info_by_name(c, name.constData(), sourceArrived, &answer);
        if (!wait(o, answer) || !answer.found || !pa_cvolume_valid(&answer.volume))
            return std::nullopt;
        return answer.volume;
    }

    // Waits for the request's answer. On a timeout the request is cancelled
    // first, so its callback can never write into an answer that is gone.
    bool wait(pa_operation* request, const Answer& answer) {
        Operation op(request);
        if (!op)
            return false;
        if (m_pulse->runUntil([&answer] { return answer.done; }, Clock::now() + m_timeout))
            return true;
        pa_operation_cancel(op.get());
        return false;
    }

    std::unique_ptr<PulseConnection> m_pulse;
    std::chrono::milliseconds m_timeout;
    QByteArray m_sink;
    QByteArray m_source;
};

} // namespace

PulseMixer::PulseMixer(std::chrono::milliseconds answerTimeout) : m_answerTimeout(answerTimeout) {}

IMixer::Opened PulseMixer::open() {
    std::unique_ptr<PulseConnection> pulse;
    try {
        pulse = std::make_unique<PulseConnection>("Verbaro mixer");
    } catch (const PlatformError&) {
        return {NoDriver, nullptr};
    }
    if (!pulse->connect(Clock::now() + m_answerTimeout))
        return {NoDriver, nullptr};
    return {0, std::make_unique<PulseMixerDevice>(std::move(pulse), m_answerTimeout)};
}

} // namespace platform
