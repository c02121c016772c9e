#pragma once

#include "display/IDisplay.h"

// Xlib's display type, declared here so that X's macros stay out of the
// code that includes this header.
struct _XDisplay;

namespace platform {

// Display modes and resolution of the X screen named by DISPLAY, through
// RandR 1.2. "The display" is one output: the primary one, or else the first
// connected output that shows a picture. Its modes are listed in RandR's
// order; a switch gives that output another mode and resizes the screen
// around it. RandR changes last until the X server ends, which is what a
// temporary (full-screen) change asks for, so the flags make no difference.
// Without an X display or without RandR 1.2 no mode is listed and every
// switch fails, so the programs carry on at the size they have. Works with
// Qt on any platform plugin: it has its own connection to the X server.
class RandrDisplay : public IDisplay {
public:
    RandrDisplay();
    ~RandrDisplay() override;
    RandrDisplay(const RandrDisplay&) = delete;
    RandrDisplay& operator=(const RandrDisplay&) = delete;

    // Mode `modeNum` of the output's list (0 is the first listed, not the one
    // in force), or the mode in force for ENUM_CURRENT_SETTINGS: size, bits
    // per pixel of the screen, refresh rounded to Hz.
    bool enumDisplaySettings(int modeNum, DisplayMode& mode) override;
    // Fields left out of the mask keep the value in force. Among the modes
    // of that size the highest refresh wins. BadMode when the output has no
    // such mode; Failed when the server refuses or there is no RandR.
    DispChange changeDisplaySettings(const DisplayMode& mode, std::uint32_t flags) override;
    // The output's size as the X server has it now (the root window's size
    // without RandR 1.2; Qt's primary screen without X; else 0).
    int deviceCaps(int index) override;
    // As the screen metrics service answers: 1440 / Qt's logical dpi of the
    // primary screen; 96 dpi without Qt.
    double twipsPerPixelX() override;
    // Starts `systemctl reboot`; true when it could be started.
    bool requestReboot() override;

private:
    int bitsPerPixel() const;
    void currentSize(int& width, int& height) const;

    _XDisplay* m_display = nullptr;
    unsigned long m_root = 0;
    bool m_hasRandr = false;
    // Kept so that resizing the screen leaves its dpi as it was.
    double m_mmPerPixelX = 25.4 / 96;
    double m_mmPerPixelY = 25.4 / 96;
};

} // namespace platform
