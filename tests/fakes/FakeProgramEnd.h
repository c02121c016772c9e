#pragma once

#include "process/IProgramEnd.h"

#include <QStringList>
#include <optional>

// Records the end of the program instead of ending the test process.
class FakeProgramEnd : public platform::IProgramEnd {
public:
    void endProgram(int status) override {
        if (!endedWith)
            endedWith = status;
    }
    void reportRuntimeError(const QString& what) override {
        runtimeErrors << what;
        endProgram(1);
    }

    std::optional<int> endedWith;
    QStringList runtimeErrors;
};
