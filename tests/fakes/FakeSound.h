#pragma once

#include "PlatformError.h"
#include "sound/ISound.h"

#include <QStringList>

#include <functional>

// A sound card with a chosen number of devices, or one whose query fails.
class FakeSound : public platform::ISound {
public:
    int waveOutDeviceCount() override {
        ++deviceQueries;
        if (onQuery)
            onQuery();
        if (queryFails)
            throw platform::PlatformError("no sound server");
        return devices;
    }
    bool playWaveSync(const QString& path) override {
        played << path;
        return true;
    }

    int devices = 1;
    bool queryFails = false;
    int deviceQueries = 0;
    std::function<void()> onQuery; // runs at every query
    QStringList played;
};
