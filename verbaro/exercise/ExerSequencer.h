#pragma once

#include <QVariant>
#include <cstdint>

class frmExer;
class Program;

// The practice sequencer: whenever something the learner heard or said is
// finished, decides what comes next in the running mode (the next sentence,
// the learner's turn, the computer's next dialogue line, or the end). Entered
// by the voice's end event, by the recognition handlers after each judged
// attempt (with TryCount and SentenceDone already counted) and by the start
// handler; acts on StreamMode, so it does nothing once a mode was stopped.
class ExerSequencer {
public:
    ExerSequencer(frmExer& window, Program& program);

    void priVoice_EndStream(std::int32_t StreamNumber, const QVariant& StreamPosition);

    // The recogniser listens for the learner (every rule of RecoGrammar
    // active) / stops listening.
    void Listen();
    void GrammarOff();

private:
    void ReadAllEnded(std::int32_t k);
    void FollowEnded(std::int16_t mode);
    void SingleEnded(std::int16_t mode);
    void DialogEnded();
    void MonologEnded();

    int Position() const;
    void MoveNext();
    void Take();
    void Play();
    bool IsLearnersLine() const;
    void LearnersTurn(int row);
    void SayOn(int row, int visibilityRow);
    void ComputerLine(int row);

    frmExer& m_w;
    Program& m_program;
};
