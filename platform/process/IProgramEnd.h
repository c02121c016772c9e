#pragma once

#include <QString>

namespace platform {

// Ending the program, normally ("End") or through the run-time error report
// that an untrapped platform failure leads to.
class IProgramEnd {
public:
    virtual ~IProgramEnd() = default;

    // Ends the program with the given exit status once control returns to the
    // event loop; the caller returns straight away after calling it.
    virtual void endProgram(int status = 0) = 0;

    // Shows the error in a box and ends the program with a non-zero status.
    virtual void reportRuntimeError(const QString& what) = 0;
};

} // namespace platform
