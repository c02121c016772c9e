#pragma once

#include <QString>

namespace platform {

// One loaded agent character. Show, Hide, MoveTo and Play are requests: they
// join the character's action queue and the call returns at once; each action
// starts when the one before it has ended. Left/Top, LanguageID and the balloon
// style take effect immediately. Every failure raises PlatformError, including
// any call on a character that has been unloaded.
class IAgentCharacter {
public:
    virtual ~IAgentCharacter() = default;

    virtual int LanguageID() const = 0;
    virtual void setLanguageID(int id) = 0;

    // Balloon.Style; bit 0 set means the word balloon is on.
    virtual int BalloonStyle() const = 0;
    virtual void setBalloonStyle(int style) = 0;

    // Makes the character visible and plays its "Showing" animation.
    virtual void Show() = 0;
    // Plays its "Hiding" animation, then hides the character.
    virtual void Hide() = 0;
    virtual bool Visible() const = 0;

    // Screen position of the character's frame, in pixels.
    virtual int Left() const = 0;
    virtual void setLeft(int x) = 0;
    virtual int Top() const = 0;
    virtual void setTop(int y) = 0;

    // Glides to (x, y) over `speed` milliseconds once the queued actions are done.
    virtual void MoveTo(int x, int y, int speed) = 0;
    // Plays the named animation once the queued actions are done; an unknown
    // name raises PlatformError at the call.
    virtual void Play(const QString& animation) = 0;
    // Ends the running action and drops every queued one.
    virtual void Stop() = 0;
};

} // namespace platform
