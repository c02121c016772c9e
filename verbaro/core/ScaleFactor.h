#pragma once

#include <cstdint>

// Windows are designed for a 1024-pixel-wide screen at 15 twips per pixel
// (96 dpi); every designed size the code adjusts is multiplied by this.
inline double ComputeScaleFactor(std::int16_t screenWidth, double twipsPerPixelX) {
    return screenWidth / 1024.0 * twipsPerPixelX / 15.0;
}
