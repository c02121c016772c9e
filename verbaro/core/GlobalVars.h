#pragma once

#include "display/DisplayMode.h"

#include <QString>
#include <cstdint>

namespace platform {
class IAgentCharacter;
class ISpeechGrammar;
} // namespace platform

// The main program's program-wide state: one instance per run, read and written
// by every window on the window thread. Settings start from these defaults at
// every run and are never saved.
struct GlobalVars {
    // Paths; AppPath and DataPath always end in "/".
    QString AppPath;
    QString DataPath;
    QString GeniePath;
    QString MerlinPath;
    QString PeedyPath;
    QString RobbyPath;

    // Display, filled by the start-up window before any other window exists.
    std::int16_t StartWidth = 0;
    std::int16_t StartHeight = 0;
    std::uint32_t StartFrequency = 0; // refresh rate in force at start (Hz); 0 unknown
    std::int16_t ScreenWidth = 0;
    platform::DisplayMode DispMode;
    double ScaleFactor = 1.0;

    // The open lesson.
    QString CurUnitID;
    QString UnitName;
    QString UnitName2;
    QString UnitDlgObj;
    std::int16_t UnitObjNums = 0;
    std::int32_t UnitScore = 0;

    // Learner settings.
    std::int16_t AgentChoice = 0; // 1 Genie, 2 Merlin, 3 Peedy, 4 Robby, 5 none
    std::int16_t ScoreSound = 1;  // 1 voice, 2 music, 3 effects, 4 none
    QString ReadSpeed;            // "2" slow, "1" fast; empty until a lesson loads
    std::int32_t MicLevel = 0;

    // Shared objects (owned by the exercise window and the unit menu's agent control).
    platform::ISpeechGrammar* RecoGrammar = nullptr;
    platform::IAgentCharacter* AgentChar = nullptr;
};
