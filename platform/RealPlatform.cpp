#include "RealPlatform.h"

#include "agent/AgentControl.h"
#include "display/RandrDisplay.h"
#include "help/ChmHelpViewer.h"
#include "ini/GbkIniFiles.h"
#include "jpeg/LibJpegDecoder.h"
#include "media/MediaCommands.h"
#include "media/PulseMediaPlayer.h"
#include "mixer/PulseMixer.h"
#include "paths/PathLookup.h"
#include "process/QtProcessStarter.h"
#include "process/QtProgramEnd.h"
#include "registry/FileRegistry.h"
#include "screen/ScreenMetrics.h"
#include "sound/PulseSound.h"
#include "speech/SpeechFactory.h"
#include "ui/QtMessageBox.h"

namespace platform {

struct RealPlatform::Parts {
    PathLookup paths;
    QtMessageBox messages;
    QtProgramEnd programEnd{messages};
    ChmHelpViewer help{paths, &messages};
    QtProcessStarter processes{&help};
    RandrDisplay display;
    PulseSound sound;
    AgentControl agent{paths};
    FileRegistry registry{RegAccess::ReadOnly};
    GbkIniFiles iniFiles{paths};
    PulseMediaPlayer media;
    MediaCommands mediaCommands{paths};
    LibJpegDecoder jpeg;
    ScreenMetrics screen;
    PulseMixer mixer;
    SpeechFactory speech;
};

RealPlatform::RealPlatform() : m_parts(std::make_unique<Parts>()) {
    m_platform.paths = &m_parts->paths;
    m_platform.messages = &m_parts->messages;
    m_platform.programEnd = &m_parts->programEnd;
    m_platform.processes = &m_parts->processes;
    m_platform.display = &m_parts->display;
    m_platform.sound = &m_parts->sound;
    m_platform.help = &m_parts->help;
    m_platform.agent = &m_parts->agent;
    m_platform.registry = &m_parts->registry;
    m_platform.iniFiles = &m_parts->iniFiles;
    m_platform.media = &m_parts->media;
    m_platform.mediaCommands = &m_parts->mediaCommands;
    m_platform.jpeg = &m_parts->jpeg;
    m_platform.screen = &m_parts->screen;
    m_platform.mixer = &m_parts->mixer;
    m_platform.speech = &m_parts->speech;
}

RealPlatform::~RealPlatform() = default;

} // namespace platform
