#pragma once

#include <QRect>
#include <cmath>
#include <cstdint>

// Windows are designed for a 1024-pixel-wide screen at 15 twips per pixel
// (96 dpi); every designed size the code adjusts is multiplied by this.
inline double ComputeScaleFactor(std::int16_t screenWidth, double twipsPerPixelX) {
    return screenWidth / 1024.0 * twipsPerPixelX / 15.0;
}

// A designed rectangle (pixels on a 1024-pixel-wide screen) multiplied by a
// window's layout scale, each edge rounded to the nearest pixel.
inline QRect ScaledRect(double k, int x, int y, int w, int h) {
    const auto r = [k](int v) { return static_cast<int>(std::lround(v * k)); };
    return QRect(r(x), r(y), r(w), r(h));
}
