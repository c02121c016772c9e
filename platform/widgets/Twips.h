#pragma once

#include "screen/IScreenMetrics.h"

#include <QColor>
#include <QRect>

#include <cmath>
#include <cstdint>

namespace platform {

// Converts the twips (1/1440 inch) the windows give sizes in to pixels and
// back, at a screen's twips per pixel (15 at 96 dpi, 12 at 120 dpi). The
// controls take the value from their owner (IScreenMetrics) rather than
// asking the screen themselves, so tests can choose the density.
class Twips {
public:
    explicit Twips(double perPixelX = 15.0, double perPixelY = 15.0)
        : m_x(perPixelX > 0 ? perPixelX : 15.0), m_y(perPixelY > 0 ? perPixelY : 15.0) {}

    // The density of a screen, e.g. Twips::of(*platform.screen).
    static Twips of(const IScreenMetrics& screen) {
        return Twips(screen.twipsPerPixelX(), screen.twipsPerPixelY());
    }

    double perPixelX() const { return m_x; }
    double perPixelY() const { return m_y; }

    // Whole pixels, rounded to the nearest.
    int toPixelsX(double twips) const { return static_cast<int>(std::lround(twips / m_x)); }
    int toPixelsY(double twips) const { return static_cast<int>(std::lround(twips / m_y)); }
    double toTwipsX(double pixels) const { return pixels * m_x; }
    double toTwipsY(double pixels) const { return pixels * m_y; }

    QRect toPixels(double left, double top, double width, double height) const {
        return {toPixelsX(left), toPixelsY(top), toPixelsX(width), toPixelsY(height)};
    }

private:
    double m_x;
    double m_y;
};

// Colours as the windows store them: 0x00BBGGRR, or a system colour when the
// high bit is set (0x80000005 window background, 0x8000000F button face, ...).
QColor colorFromOle(std::uint32_t value);
std::uint32_t oleFromColor(const QColor& color);

} // namespace platform
