#include "FakeDisplay.h"

#include <cstddef>

using platform::DispChange;
using platform::DisplayMode;

bool FakeDisplay::enumDisplaySettings(int modeNum, DisplayMode& mode) {
    if (modeNum < 0 || modeNum >= static_cast<int>(modes.size()))
        return false;
    mode = modes[static_cast<std::size_t>(modeNum)];
    return true;
}

DispChange FakeDisplay::changeDisplaySettings(const DisplayMode& mode, std::uint32_t flags) {
    changes.emplace_back(mode, flags);
    for (const DisplayMode& m : modes) {
        if (m.pelsWidth == mode.pelsWidth && m.pelsHeight == mode.pelsHeight) {
            if (resultForListed == DispChange::Successful) {
                width = static_cast<int>(mode.pelsWidth);
                height = static_cast<int>(mode.pelsHeight);
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
