#pragma once

namespace platform {

// Twips per pixel of the screen (1440 / logical dots per inch), horizontally
// and vertically: the platform's Screen.TwipsPerPixelX / Y.
class IScreenMetrics {
public:
    virtual ~IScreenMetrics() = default;
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;
};

} // namespace platform
