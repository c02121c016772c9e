#pragma once

#include "display/IDisplay.h"

#include <vector>

// A screen of a given size and refresh rate that accepts the modes it lists
// (at the rate asked for, when the mask names one) and reports a chosen result
// for the others.
class FakeDisplay : public platform::IDisplay {
public:
    bool enumDisplaySettings(int modeNum, platform::DisplayMode& mode) override;
    platform::DispChange changeDisplaySettings(const platform::DisplayMode& mode,
                                               std::uint32_t flags) override;
    int deviceCaps(int index) override;
    double twipsPerPixelX() override { return twipsPerPixel; }
    bool requestReboot() override {
        ++rebootRequests;
        return true;
    }

    // The mode in force.
    int width = 1280;
    int height = 1024;
    std::uint32_t frequency = 60;
    double twipsPerPixel = 15.0;
    std::vector<platform::DisplayMode> modes{{0, 32, 1280, 1024, 60}, {0, 32, 1024, 768, 60}};
    // Result for a mode that is listed; an unlisted mode gives BadMode.
    platform::DispChange resultForListed = platform::DispChange::Successful;
    std::vector<std::pair<platform::DisplayMode, std::uint32_t>> changes;
    int rebootRequests = 0;
};
