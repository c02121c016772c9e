#pragma once

#include "screen/IScreenMetrics.h"

namespace platform {

// Twips per pixel of the primary screen from its logical DPI; 15 (96 dpi)
// when there is no screen.
class ScreenMetrics : public IScreenMetrics {
public:
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;
    double dotsPerInchX() const override;
};

} // namespace platform
