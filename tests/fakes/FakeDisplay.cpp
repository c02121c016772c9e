#include "FakeDisplay.h"

#include <cstddef>

using platform::DispChange;
using platform::DisplayMode;

bool FakeDisplay::enumDisplaySettings(int modeNum, DisplayMode& mode) {
    if (modeNum == platform::ENUM_CURRENT_SETTINGS) {
        mode = {platform::DM_BITSPERPEL | platform::DM_PELSWIDTH | platform::DM_PELSHEIGHT |
                    platform::DM_DISPLAYFREQUENCY,
                32, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                frequency};
        return true;
    }
    if (modeNum < 0 || modeNum >= static_cast<int>(modes.size()))
        return false;
    mode = modes[static_cast<std::size_t>(modeNum)];
    return true;
}

DispChange FakeDisplay::changeDisplaySettings(const DisplayMode& mode, std::uint32_t flags) {
    changes.emplace_back(mode, flags);
    const bool anyRate = !(mode.fields & platform::DM_DISPLAYFREQUENCY);
    for (const DisplayMode& m : modes) {
        if (m.pelsWidth == mode.pelsWidth && m.pelsHeight == mode.pelsHeight &&
            (anyRate || m.displayFrequency == mode.displayFrequency)) {
            if (resultForListed == DispChange::Successful) {
                width = static_cast<int>(mode.pelsWidth);
                height = static_cast<int>(mode.pelsHeight);
                frequency = m.displayFrequency;
            }
            return resultForListed;
        }
    }
    return DispChange::BadMode;
}

int FakeDisplay::deviceCaps(int index) {
    if (index == platform::HORZRES)
        return width;
    if (index == platform::VERTRES)
        return height;
    return 0;
}
