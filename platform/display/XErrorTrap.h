#pragma once

#include <X11/Xlib.h>

namespace platform {

// While it lives, X protocol errors are counted instead of ending the process
// (Xlib's default handler exits). Xlib keeps one handler per process, so
// traps must not overlap across threads; the display service runs on one.
class XErrorTrap {
public:
    explicit XErrorTrap(Display* display);
    ~XErrorTrap();
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

    // Waits for the server to handle every request sent so far and tells
    // whether any of them failed since the trap was set.
    bool failed();

private:
    static int record(Display*, XErrorEvent*);

    Display* m_display;
    int (*m_previous)(Display*, XErrorEvent*);
    int m_errorsBefore;
};

} // namespace platform
