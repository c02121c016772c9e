#pragma once

#include "FakeAgent.h"
#include "FakeDisplay.h"
#include "FakeHelpViewer.h"
#include "FakeMediaCommands.h"
#include "FakeMediaPlayer.h"
#include "FakeMessageBox.h"
#include "FakeMixer.h"
#include "FakeProcessStarter.h"
#include "FakeProgramEnd.h"
#include "FakeScreenMetrics.h"
#include "FakeSound.h"
#include "FakeSpeechFactory.h"
#include "Platform.h"
#include "ini/GbkIniFiles.h"
#include "jpeg/LibJpegDecoder.h"
#include "paths/PathLookup.h"
#include "registry/FileRegistry.h"

#include <QTemporaryDir>

// All platform services as fakes, except those whose real ones work on
// temporary files: path lookup (over a temporary drive folder), the registry
// (a temporary folder; `registryWriter` sets up what the programs read), INI
// reading and JPEG decoding.
struct FakePlatform {
    FakePlatform()
        : pathLookup(driveDir.path()), registry(registryDir.path(), platform::RegAccess::ReadOnly),
          registryWriter(registryDir.path(), platform::RegAccess::ReadWrite), iniFiles(pathLookup) {
        platform.paths = &pathLookup;
        platform.messages = &messages;
        platform.programEnd = &programEnd;
        platform.processes = &processes;
        platform.display = &display;
        platform.sound = &sound;
        platform.help = &help;
        platform.agent = &agent;
        platform.registry = &registry;
        platform.iniFiles = &iniFiles;
        platform.media = &media;
        platform.mediaCommands = &mediaCommands;
        platform.jpeg = &jpeg;
        platform.screen = &screen;
        platform.mixer = &mixer;
        platform.speech = &speech;
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
    QTemporaryDir registryDir;
    platform::FileRegistry registry;
    platform::FileRegistry registryWriter;
    platform::GbkIniFiles iniFiles;
    FakeMediaPlayer media;
    FakeMediaCommands mediaCommands;
    platform::LibJpegDecoder jpeg;
    FakeScreenMetrics screen;
    FakeMixer mixer;
    FakeSpeechFactory speech;
    platform::Platform platform;
};
