#pragma once

#include <QString>

namespace platform {

// Window style asked of a started program (the platform's Shell styles).
enum class WindowStyle { Hidden = 0, NormalFocus = 1, MinimizedFocus = 2, MaximizedFocus = 3 };

// Starting other programs and opening files with the desktop's default action.
class IProcessStarter {
public:
    virtual ~IProcessStarter() = default;
    // Starts the program without waiting; false when it could not be started.
    virtual bool startProgram(const QString& path, WindowStyle style) = 0;
    // Opens a document with its default action; false when that failed.
    virtual bool shellOpen(const QString& path) = 0;
};

} // namespace platform
