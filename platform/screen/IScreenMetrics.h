#pragma once

namespace platform {

// Twips per pixel of the screen (1440 / logical dots per inch), horizontally
// and vertically: the platform's Screen.TwipsPerPixelX / Y, for the pixels
// the widgets are laid out in; and the desktop's dots-per-inch setting.
class IScreenMetrics {
public:
    virtual ~IScreenMetrics() = default;
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;
    // The screen's dots per inch horizontally as the desktop is set (96 is
    // the small-fonts setting).
    virtual double dotsPerInchX() const = 0;
};

} // namespace platform
