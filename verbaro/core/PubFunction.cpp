#include "core/PubFunction.h"

#include "Platform.h"
#include "help/IHelpViewer.h"
#include "paths/IPathLookup.h"
#include "sound/ISound.h"

#include <exception>

bool HasSoundDevice(platform::Platform& platform) {
    try {
        return platform.sound->waveOutDeviceCount() > 0;
    } catch (const std::exception&) {
        return false;
    }
}

void PlayWaveSync(platform::Platform& platform, const QString& path) {
    platform.sound->playWaveSync(platform.paths->resolve(path));
}

bool OpenHelpFile(platform::Platform& platform, const QString& path, QWidget* owner) {
    if (!platform.paths->fileExists(path))
        return false;
    // A file that is there but cannot be shown is reported like a missing one,
    // so the learner is not left without any answer.
    return platform.help->displayTopic(platform.paths->resolve(path), owner);
}
