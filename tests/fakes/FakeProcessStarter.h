#pragma once

#include "process/IProcessStarter.h"

#include <QStringList>
#include <utility>
#include <vector>

// Records programs started and documents opened.
class FakeProcessStarter : public platform::IProcessStarter {
public:
    bool startProgram(const QString& path, platform::WindowStyle style) override {
        started.emplace_back(path, style);
        return startSucceeds;
    }
    bool shellOpen(const QString& path) override {
        opened << path;
        return startSucceeds;
    }

    std::vector<std::pair<QString, platform::WindowStyle>> started;
    QStringList opened;
    bool startSucceeds = true;
};
