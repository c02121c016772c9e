#include "FakeMixer.h"

using platform::IMixerDevice;
using platform::MixerControl;
using platform::MixerLine;

namespace {

class FakeMixerDevice : public IMixerDevice {
public:
    explicit FakeMixerDevice(FakeMixer& mixer) : m_mixer(mixer) { ++m_mixer.openDevices; }
    ~FakeMixerDevice() override { --m_mixer.openDevices; }

    std::optional<MixerControl> findVolumeControl(MixerLine line) override {
        const FakeMixer::Line& l = m_mixer.lines[line];
        if (!l.present)
            return std::nullopt;
        return MixerControl{idOf(line), l.minimum, l.maximum};
    }
    std::optional<std::uint32_t> readValue(const MixerControl& control) override {
        FakeMixer::Line* l = lineOf(control);
        if (!l)
            return std::nullopt;
        return l->level;
    }
    bool writeValue(const MixerControl& control, std::uint32_t level) override {
        FakeMixer::Line* l = lineOf(control);
        if (!l || m_mixer.refusesWrites || level < l->minimum || level > l->maximum)
            return false;
        l->level = level;
        m_mixer.writes.emplace_back(lineFor(control), level);
        return true;
    }

private:
    static std::uint32_t idOf(MixerLine line) { return line == MixerLine::Speaker ? 1 : 2; }
    static MixerLine lineFor(const MixerControl& c) {
        return c.id == 1 ? MixerLine::Speaker : MixerLine::Microphone;
    }
    FakeMixer::Line* lineOf(const MixerControl& control) {
        if (control.id != 1 && control.id != 2)
            return nullptr;
        FakeMixer::Line& l = m_mixer.lines[lineFor(control)];
        return l.present ? &l : nullptr;
    }

    FakeMixer& m_mixer;
};

} // namespace

platform::IMixer::Opened FakeMixer::open() {
    ++opens;
    if (!available)
        return {NoDriver, nullptr};
    return {0, std::make_unique<FakeMixerDevice>(*this)};
}
