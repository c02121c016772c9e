#pragma once

#include <QString>

namespace platform {

// Wave output: how many output devices there are, and the simple synchronous player.
class ISound {
public:
    virtual ~ISound() = default;
    // Number of wave output devices; raises PlatformError when the query fails.
    virtual int waveOutDeviceCount() = 0;
    // Plays the wave file and returns when it has finished; false when it could not play.
    virtual bool playWaveSync(const QString& path) = 0;
};

} // namespace platform
