#pragma once

#include "screen/IScreenMetrics.h"

// A screen of chosen density: 15 twips per pixel is 96 dpi, 12 is 120 dpi.
class FakeScreenMetrics : public platform::IScreenMetrics {
public:
    explicit FakeScreenMetrics(double twipsPerPixel = 15.0) : x(twipsPerPixel), y(twipsPerPixel) {}
    double twipsPerPixelX() const override { return x; }
    double twipsPerPixelY() const override { return y; }
    double dotsPerInchX() const override { return dpiX > 0 ? dpiX : 1440.0 / x; }

    double x;
    double y;
    double dpiX = 0; // the desktop's setting; 0: the one that goes with x
};
