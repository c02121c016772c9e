#pragma once

#include <QString>

class QWidget;
namespace platform {
struct Platform;
}

// True when there is at least one wave output device; a failing query counts
// as none.
bool HasSoundDevice(platform::Platform& platform);

// Plays a wave file and returns when it has finished.
void PlayWaveSync(platform::Platform& platform, const QString& path);

// Shows the help file's default topic with `owner` as owner window. False,
// with nothing shown, when the file is missing or cannot be shown.
bool OpenHelpFile(platform::Platform& platform, const QString& path, QWidget* owner);
