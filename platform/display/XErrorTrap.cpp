#include "display/XErrorTrap.h"

namespace platform {

namespace {
int errorCount = 0;
}

XErrorTrap::XErrorTrap(Display* display) : m_display(display) {
    XSync(m_display, False); // earlier errors belong to whoever caused them
    m_previous = XSetErrorHandler(&XErrorTrap::record);
    m_errorsBefore = errorCount;
}

XErrorTrap::~XErrorTrap() {
    XSync(m_display, False);
    XSetErrorHandler(m_previous);
}

bool XErrorTrap::failed() {
    XSync(m_display, False);
    return errorCount != m_errorsBefore;
}

int XErrorTrap::record(Display*, XErrorEvent*) {
    ++errorCount;
    return 0;
}

} // namespace platform
