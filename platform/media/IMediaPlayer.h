#pragma once

#include <QString>

#include <functional>

namespace platform {

// The device mode a media player reports (the platform's MCI status mode).
enum class MediaMode { NotOpen, Stopped, Playing };

// A wave player driven like the platform's MCI device: open a file, play it
// asking for a completion notice, ask the mode, close. Every play asked with
// a notice gets exactly one notice, delivered later on the thread that asked
// for it (through its event loop): when the playback ends by itself, or when
// a close or a new open ends it early.
class IMediaPlayer {
public:
    virtual ~IMediaPlayer() = default;
    // Opens the wave file (closing what was open); false with an error text
    // when the device cannot open it.
    virtual bool open(const QString& path, QString* error) = 0;
    // Plays the open file from its start; `notify` runs when the play ends.
    virtual bool play(std::function<void()> notify) = 0;
    virtual MediaMode mode() const = 0;
    // Ends a playback in progress and closes the file.
    virtual void close() = 0;
};

} // namespace platform
