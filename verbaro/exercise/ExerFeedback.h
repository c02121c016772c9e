#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class frmExer;
class Program;

// What the learner sees and hears after each judged attempt: the agent
// character plays an animation for success or failure, then a reward sound
// of the chosen sound set plays to its end. Animations and sounds are drawn
// at random among a few, so repeated attempts vary.
class ExerFeedback {
public:
    // A draw of a whole number 1..100.
    using Draw = std::function<int()>;

    ExerFeedback(frmExer& window, Program& program);

    // The source of the draws (the animation's intRan, then the sound's r).
    // By default a clock-seeded generator.
    void SetRandom(Draw draw);

    // Feedback for a grade: 0 wrong, 1, 2, 3 or 5 right.
    void Show4DaFen(std::int16_t Scores);
    void ShowGenie(std::int16_t Scores, std::int16_t intRan);
    void ShowMerlin(std::int16_t Scores, std::int16_t intRan);
    void ShowPeedy(std::int16_t Scores, std::int16_t intRan);
    void ShowRobby(std::int16_t Scores, std::int16_t intRan);
    void ShowJustSound(std::int16_t Scores, std::int16_t intRan);
    void PlayWaveForShow(std::int16_t Scores, std::int16_t intRan);

    // The animation a character (1 Genie .. 4 Robby) plays for a grade and a
    // draw; empty for another character.
    static QString AnimationFor(int character, int Scores, int intRan);
    // The reward sound's file name for the sound set, grade, draw r and
    // attempts; empty when nothing is to be played.
    static QString SoundFor(int scoreSound, int Scores, int r, int tryCount, int retries);

private:
    void ShowCharacter(int character, std::int16_t Scores, std::int16_t intRan);

    frmExer& m_w;
    Program& m_program;
    Draw m_draw;
};
