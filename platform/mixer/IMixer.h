#pragma once

#include <cstdint>
#include <memory>
#include <optional>

namespace platform {

// The mixer lines the programs set the volume of.
enum class MixerLine { Speaker, Microphone };

// A line's volume control as the mixer reports it: an id of the mixer's own
// (never 0) and the bounds of its levels.
struct MixerControl {
    std::uint32_t id = 0;
    std::uint32_t minimum = 0;
    std::uint32_t maximum = 0;
};

// An open mixer. Destroying it closes it.
class IMixerDevice {
public:
    virtual ~IMixerDevice() = default;
    // The volume control of the line, or nothing when the mixer has no such line.
    virtual std::optional<MixerControl> findVolumeControl(MixerLine line) = 0;
    // The control's level; nothing when it cannot be read.
    virtual std::optional<std::uint32_t> readValue(const MixerControl& control) = 0;
    // Sets the control's level; false when the mixer refuses it or cannot be reached.
    virtual bool writeValue(const MixerControl& control, std::uint32_t level) = 0;
};

// The sound card's mixer (device 0).
class IMixer {
public:
    // Result code of an open that found no mixer (the platform's "no driver").
    static constexpr std::int32_t NoDriver = 6;

    struct Opened {
        std::int32_t result = 0; // 0: `device` is open
        std::unique_ptr<IMixerDevice> device;
    };

    virtual ~IMixer() = default;
    virtual Opened open() = 0;
};

} // namespace platform
