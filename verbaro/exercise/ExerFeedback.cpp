#include "exercise/ExerFeedback.h"

#include "PlatformError.h"
#include "agent/IAgentCharacter.h"
#include "core/Program.h"
#include "core/PubFunction.h"
#include "exercise/frmExer.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <array>
#include <utility>
#include <vector>

namespace {

constexpr int kPumpsAfterFeedback = 5;
constexpr int kAgents = 4;   // AgentChoice 1..4 are characters
constexpr int kNoAgent = 5;  // sound only
constexpr int kVoiceSet = 1; // ScoreSound
constexpr int kMusicSet = 2;
constexpr int kEffectsSet = 3;

// Draws up to and including `upTo` give `name`.
struct Pick {
    int upTo;
    const char* name;
};
using Picks = std::vector<Pick>;

struct CharacterAnimations {
    Picks correct;
    Picks wrong;
};

// Genie, Merlin, Peedy, Robby.
const std::array<CharacterAnimations, kAgents> kAnimations{{
    {{{35, "Congratulate"}, {70, "Congratulate_2"}, {100, "suggest"}},
     {{33, "uncertain"}, {80, "stoplistening"}, {100, "announce"}}},
    {{{35, "Congratulate"}, {70, "Congratulate_2"}, {100, "surprised"}},
     {{33, "confused"}, {70, "dontrecognize"}, {100, "stoplistening"}}},
    {{{20, "domagic1"},
      {40, "domagic2"},
      {60, "congratulate"},
      {80, "pleased"},
      {100, "surprised"}},
     {{40, "confused"}, {63, "stoplistening"}, {80, "decline"}, {100, "stoplistening"}}},
    {{{50, "congratulate"}, {100, "surprised"}}, {{50, "stoplistening"}, {100, "sad"}}},
}};

// The music and effects sets: three sounds each for success and failure.
const Picks kMusicWin{{33, "win001.wav"}, {70, "win002.wav"}, {100, "win003.wav"}};
const Picks kMusicLost{{33, "lost001.wav"}, {70, "lost002.wav"}, {100, "lost003.wav"}};
const Picks kEffectsWin{{33, "win201.wav"}, {70, "win202.wav"}, {100, "win203.wav"}};
const Picks kEffectsLost{{33, "lost201.wav"}, {70, "lost202.wav"}, {100, "lost203.wav"}};

// The voice set by grade (4 is never given and has no sound).
const std::array<const char*, 6> kVoiceByGrade{nullptr,         "good.wav", "ok.wav",
                                               "well done.wav", nullptr,    "perfect.wav"};

QString Choose(const Picks& picks, int draw) {
    for (const Pick& pick : picks)
        if (draw <= pick.upTo)
            return QString::fromLatin1(pick.name);
    return {};
}

void ProcessPendingEvents(int times) {
    for (int i = 0; i < times; ++i)
        QCoreApplication::processEvents();
}

} // namespace

ExerFeedback::ExerFeedback(frmExer& window, Program& program)
    : m_w(window), m_program(program),
      m_draw([] { return static_cast<int>(QRandomGenerator::global()->bounded(1, 101)); }) {}

void ExerFeedback::SetRandom(Draw draw) {
    m_draw = std::move(draw);
}

QString ExerFeedback::AnimationFor(int character, int Scores, int intRan) {
    if (character < 1 || character > kAgents)
        return {};
    const CharacterAnimations& table = kAnimations[static_cast<std::size_t>(character - 1)];
    return Choose(Scores != 0 ? table.correct : table.wrong, intRan);
}

QString ExerFeedback::SoundFor(int scoreSound, int Scores, int r, int tryCount, int retries) {
    switch (scoreSound) {
    case kVoiceSet:
        if (Scores == 0)
            return tryCount < retries ? QStringLiteral("try again.wav")
                                      : QStringLiteral("try another.wav");
        if (Scores > 0 && Scores < static_cast<int>(kVoiceByGrade.size()) &&
            kVoiceByGrade[static_cast<std::size_t>(Scores)])
            return QString::fromLatin1(kVoiceByGrade[static_cast<std::size_t>(Scores)]);
        return {};
    case kMusicSet:
        return Choose(Scores != 0 ? kMusicWin : kMusicLost, r);
    case kEffectsSet:
        return Choose(Scores != 0 ? kEffectsWin : kEffectsLost, r);
    default:
        return {};
    }
}

void ExerFeedback::Show4DaFen(std::int16_t Scores) {
    const auto intRan = static_cast<std::int16_t>(m_draw());
    const std::int16_t choice = m_program.vars.AgentChoice;
    if (choice >= 1 && choice <= kAgents) {
        if (!m_program.vars.AgentChar)
            throw platform::PlatformError("the agent character is not loaded");
        m_program.vars.AgentChar->Show();
    }
    switch (choice) {
    case 1:
        ShowGenie(Scores, intRan);
        break;
    case 2:
        ShowMerlin(Scores, intRan);
        break;
    case 3:
        ShowPeedy(Scores, intRan);
        break;
    case 4:
        ShowRobby(Scores, intRan);
        break;
    case kNoAgent:
        ShowJustSound(Scores, intRan);
        break;
    default:
        break;
    }
    ProcessPendingEvents(kPumpsAfterFeedback);
}

void ExerFeedback::ShowCharacter(int character, std::int16_t Scores, std::int16_t intRan) {
    platform::IAgentCharacter* agent = m_program.vars.AgentChar;
    if (!agent)
        throw platform::PlatformError("the agent character is not loaded");
    agent->Play(AnimationFor(character, Scores, intRan));
    PlayWaveForShow(Scores, intRan);
}

void ExerFeedback::ShowGenie(std::int16_t Scores, std::int16_t intRan) {
    ShowCharacter(1, Scores, intRan);
}

void ExerFeedback::ShowMerlin(std::int16_t Scores, std::int16_t intRan) {
    ShowCharacter(2, Scores, intRan);
}

void ExerFeedback::ShowPeedy(std::int16_t Scores, std::int16_t intRan) {
    ShowCharacter(3, Scores, intRan);
}

void ExerFeedback::ShowRobby(std::int16_t Scores, std::int16_t intRan) {
    ShowCharacter(4, Scores, intRan);
}

void ExerFeedback::ShowJustSound(std::int16_t Scores, std::int16_t intRan) {
    PlayWaveForShow(Scores, intRan);
}

// The sound plays to its end before the window goes on; the events pending
// before it run first.
void ExerFeedback::PlayWaveForShow(std::int16_t Scores, std::int16_t intRan) {
    Q_UNUSED(intRan); // the sound draws its own number
    const QString folder = m_program.vars.AppPath + QStringLiteral("wave/");
    const int r = m_draw();
    ProcessPendingEvents(1);
    const QString file =
        SoundFor(m_program.vars.ScoreSound, Scores, r, m_w.TryCount, m_w.RETRYNUMS);
    if (file.isEmpty())
        return;
    PlayWaveSync(m_program.platform, folder + file);
}
