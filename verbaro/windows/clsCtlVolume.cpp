#include "windows/clsCtlVolume.h"

#include "Platform.h"
#include "ui/IMessageBox.h"

using platform::MixerControl;
using platform::MixerLine;

namespace {

// The mixer's levels are unsigned; ours are 32-bit signed as the callers keep them.
std::int32_t asLevel(std::uint32_t value) {
    return value > 0x7fffffffu ? 0x7fffffff : static_cast<std::int32_t>(value);
}

} // namespace

clsCtlVolume::clsCtlVolume(platform::Platform& platform, QWidget* owner)
    : m_platform(platform), m_owner(owner) {}

clsCtlVolume::~clsCtlVolume() = default;

void clsCtlVolume::meOpenMixer() {
    m_mixer.reset(); // a second open replaces the first
    m_speaker = {};
    m_mic = {};
    platform::IMixer::Opened opened = m_platform.mixer->open();
    m_openResult = opened.result;
    if (m_openResult != 0 || !opened.device) {
        if (m_openResult == 0)
            m_openResult = platform::IMixer::NoDriver;
        m_platform.messages->show({QStringLiteral("不能打开混音器！"), QStringLiteral("提示"),
                                   platform::MsgButtons::Ok, platform::MsgIcon::Critical},
                                  m_owner);
        return;
    }
    m_mixer = std::move(opened.device);
    readLine(MixerLine::Speaker, m_speaker);
    readLine(MixerLine::Microphone, m_mic);
}

void clsCtlVolume::readLine(MixerLine kind, Line& line) {
    if (!FindVolumeControl(kind, line.control))
        return;
    line.minimum = asLevel(line.control.minimum);
    line.maximum = asLevel(line.control.maximum);
    line.volume = ReadControlValue(line.control);
}

void clsCtlVolume::setPrSpeakerVolume(std::int32_t level) {
    m_speaker.volume = level;
    WriteControlValue(m_speaker.control, level);
}

void clsCtlVolume::setPrMicVolume(std::int32_t level) {
    m_mic.volume = level;
    WriteControlValue(m_mic.control, level);
}

bool clsCtlVolume::FindVolumeControl(MixerLine kind, MixerControl& control) {
    if (!m_mixer)
        return false;
    const std::optional<MixerControl> found = m_mixer->findVolumeControl(kind);
    if (!found)
        return false;
    control = *found;
    return true;
}

bool clsCtlVolume::WriteControlValue(const MixerControl& control, std::int32_t value) {
    if (!m_mixer || control.id == 0 || value < 0)
        return false;
    return m_mixer->writeValue(control, static_cast<std::uint32_t>(value));
}

std::int32_t clsCtlVolume::ReadControlValue(const MixerControl& control) {
    if (!m_mixer || control.id == 0)
        return 0;
    return asLevel(m_mixer->readValue(control).value_or(0));
}
