#pragma once

#include "mixer/IMixer.h"

#include <cstdint>
#include <memory>

class QWidget;

namespace platform {
struct Platform;
}

// The speaker (master output) and microphone volumes of the sound card's
// mixer. The settings window makes one when it loads, opens the mixer, reads
// the ranges and levels, and writes new levels as the learner moves its bars.
// Levels are the mixer's own (0..65535). The mixer stays open until the
// object ends.
class clsCtlVolume {
public:
    // Messages about the mixer are shown over `owner`.
    explicit clsCtlVolume(platform::Platform& platform, QWidget* owner = nullptr);
    ~clsCtlVolume();
    clsCtlVolume(const clsCtlVolume&) = delete;
    clsCtlVolume& operator=(const clsCtlVolume&) = delete;

    // Opens the mixer and reads both volume controls. When no mixer answers,
    // says "不能打开混音器！" and leaves every bound and level at 0. A line the
    // mixer lacks leaves its bounds and level at 0.
    void meOpenMixer();

    // Result of the open: 0 when the mixer is usable.
    std::int32_t prMixerErr() const { return m_openResult; }

    std::int32_t prSpeakerMinVolume() const { return m_speaker.minimum; }
    std::int32_t prSpeakerMaxVolume() const { return m_speaker.maximum; }
    // The level found at open or last written.
    std::int32_t prSpeakerVolume() const { return m_speaker.volume; }
    // Stores the level, then sends it to the speaker; a level the mixer
    // refuses (or a missing line) is kept here all the same.
    void setPrSpeakerVolume(std::int32_t level);

    std::int32_t prMicMinVolume() const { return m_mic.minimum; }
    std::int32_t prMicMaxVolume() const { return m_mic.maximum; }
    std::int32_t prMicVolume() const { return m_mic.volume; }
    void setPrMicVolume(std::int32_t level);

private:
    struct Line {
        platform::MixerControl control; // id 0 until found
        std::int32_t minimum = 0;
        std::int32_t maximum = 0;
        std::int32_t volume = 0;
    };

    void readLine(platform::MixerLine kind, Line& line);
    bool FindVolumeControl(platform::MixerLine kind, platform::MixerControl& control);
    bool WriteControlValue(const platform::MixerControl& control, std::int32_t value);
    std::int32_t ReadControlValue(const platform::MixerControl& control);

    platform::Platform& m_platform;
    QWidget* m_owner;
    std::unique_ptr<platform::IMixerDevice> m_mixer;
    std::int32_t m_openResult = 0;
    Line m_speaker;
    Line m_mic;
};
