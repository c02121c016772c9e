#pragma once

#include "display/DisplayMode.h"

namespace platform {

// Display modes, screen resolution and the reboot request.
class IDisplay {
public:
    virtual ~IDisplay() = default;

    // Fills `mode` with display mode number `modeNum` of the current display,
    // or with the mode in force for ENUM_CURRENT_SETTINGS; false when there is
    // no such mode.
    virtual bool enumDisplaySettings(int modeNum, DisplayMode& mode) = 0;

    // Switches to the width and height in `mode` (only the fields named in its
    // mask); CDS_FULLSCREEN means temporary. A refusal is a result, not an error.
    virtual DispChange changeDisplaySettings(const DisplayMode& mode, std::uint32_t flags) = 0;

    // HORZRES / VERTRES of the screen, in pixels, as it is now.
    virtual int deviceCaps(int index) = 0;

    // Twips per pixel of the screen horizontally (1440 / logical dpi).
    virtual double twipsPerPixelX() = 0;

    // Asks the system to restart the computer; false when it refused.
    virtual bool requestReboot() = 0;
};

} // namespace platform
