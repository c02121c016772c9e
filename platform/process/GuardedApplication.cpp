#include "process/GuardedApplication.h"

#include "process/HandlerGuard.h"

#include <exception>

namespace platform {

// Every handler of ours runs behind a HandlerGuard, so nothing should arrive
// here; this is the last net for a failure inside Qt's own code or a handler
// someone forgot to guard.
bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandlerGuard(m_end).report(std::current_exception());
    }
    return false;
}

} // namespace platform
