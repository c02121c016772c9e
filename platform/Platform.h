#pragma once

namespace platform {

class IPathLookup;
class IMessageBox;
class IProgramEnd;
class IProcessStarter;
class IDisplay;
class ISound;
class IHelpViewer;
class IAgentControl;
class IRegistry;
class IIniFiles;
class IMediaPlayer;
class IMediaCommands;
class IJpegDecoder;
class IScreenMetrics;
class IMixer;
class ISpeechFactory;

// The platform services the logic calls on. Which implementations stand
// behind them (real ones, or fakes in tests) is decided where this is built:
// RealPlatform for the programs, FakePlatform in the tests.
struct Platform {
    IPathLookup* paths = nullptr;
    IMessageBox* messages = nullptr;
    IProgramEnd* programEnd = nullptr;
    IProcessStarter* processes = nullptr;
    IDisplay* display = nullptr;
    ISound* sound = nullptr;
    IHelpViewer* help = nullptr;
    IAgentControl* agent = nullptr; // the unit menu's agent control Agent1
    IRegistry* registry = nullptr;  // opened read-only: the programs only look things up
    IIniFiles* iniFiles = nullptr;
    IMediaPlayer* media = nullptr;           // the launcher's wave player
    IMediaCommands* mediaCommands = nullptr; // media command strings ("OPEN ... ALIAS ...")
    IJpegDecoder* jpeg = nullptr;
    IScreenMetrics* screen = nullptr;
    IMixer* mixer = nullptr;          // the sound card's volume mixer
    ISpeechFactory* speech = nullptr; // voices and recognition contexts
};

} // namespace platform
