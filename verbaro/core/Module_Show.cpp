#include "Module_Show.h"

#include "GlobalVars.h"
#include "PlatformError.h"
#include "agent/IAgentCharacter.h"
#include "agent/IAgentControl.h"

#include <cmath>

namespace {

constexpr int kUSEnglish = 1033;
constexpr int kBalloonOn = 1;
constexpr double kParkLeft = 10;
constexpr double kParkTop = 530;
constexpr int kParkGlideMs = 1000;

} // namespace

void ShowAgent(GlobalVars& g, platform::IAgentControl& Agent1, const QString& name) {
    platform::IAgentCharacter& character = Agent1.Characters(name);
    g.AgentChar = &character;
    character.setLanguageID(kUSEnglish);
    character.setBalloonStyle(character.BalloonStyle() & ~kBalloonOn);
    character.Show();
}

void ParkAgent(GlobalVars& g) {
    if (!g.AgentChar)
        throw platform::PlatformError("no agent character is shown");
    g.AgentChar->MoveTo(RoundHalfEven(kParkLeft * g.ScaleFactor),
                        RoundHalfEven(kParkTop * g.ScaleFactor), kParkGlideMs);
    g.AgentChar->Play("GestureLeft");
}

int RoundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    double rounded = fraction < 0.5 ? lower : lower + 1;
    if (fraction == 0.5)
        rounded = std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
    return static_cast<int>(rounded);
}

QString AgentName(int choice) {
    static const char* const names[] = {"Genie", "Merlin", "Peedy", "Robby"};
    return choice >= 1 && choice <= 4 ? QString::fromLatin1(names[choice - 1]) : QString();
}

QString AgentPath(const GlobalVars& g, int choice) {
    const QString* const paths[] = {&g.GeniePath, &g.MerlinPath, &g.PeedyPath, &g.RobbyPath};
    return choice >= 1 && choice <= 4 ? *paths[choice - 1] : QString();
}
