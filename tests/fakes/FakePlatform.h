#pragma once

#include "FakeAgent.h"
#include "FakeDisplay.h"
#include "FakeHelpViewer.h"
#include "FakeMessageBox.h"
#include "FakeProcessStarter.h"
#include "FakeProgramEnd.h"
#include "FakeSound.h"
#include "Platform.h"
#include "paths/PathLookup.h"

#include <QTemporaryDir>

// All platform services as fakes, except path lookup, which is the real one
// over a temporary drive folder.
struct FakePlatform {
    FakePlatform() : pathLookup(driveDir.path()) {
        platform.paths = &pathLookup;
        platform.messages = &messages;
        platform.programEnd = &programEnd;
        platform.processes = &processes;
        platform.display = &display;
        platform.sound = &sound;
        platform.help = &help;
        platform.agent = &agent;
    }

    QTemporaryDir driveDir;
    platform::PathLookup pathLookup;
    FakeMessageBox messages;
    FakeProgramEnd programEnd;
    FakeProcessStarter processes;
    FakeDisplay display;
    FakeSound sound;
    FakeHelpViewer help;
    FakeAgentControl agent;
    platform::Platform platform;
};
