#pragma once

#include "process/IProgramEnd.h"

namespace platform {

class IMessageBox;

// Ends the program by leaving the Qt event loop with the given status. The
// database commits every write as it happens, so nothing is pending here.
class QtProgramEnd : public IProgramEnd {
public:
    explicit QtProgramEnd(IMessageBox& messages) : m_messages(messages) {}

    void endProgram(int status) override;
    void reportRuntimeError(const QString& what) override;

private:
    IMessageBox& m_messages;
    bool m_ending = false;
};

} // namespace platform
