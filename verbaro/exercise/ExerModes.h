#pragma once

#include <QString>
#include <cstdint>

class frmExer;
class Program;
class ImageButton;

// The nine practice modes and the one switch between them: a mode button
// stops the running mode (SetcmdStop) and, unless it stopped its own mode,
// starts its mode. The language button switches the grids.
class ExerModes {
public:
    ExerModes(frmExer& window, Program& program);

    // Stops mode ABeforeID (face, highlights, speech, grammar) and decides
    // whether ACurID may start: False when the button stopped its own mode.
    bool SetcmdStop(std::int16_t ABeforeID, std::int16_t ACurID);

    void CmdReadAll_Click();
    void CmdRead_Click();
    void CmdFollow_Click();
    void CmdFollowOne_Click();
    void cmdrecord_Click();
    void cmdrecordone_Click();
    void QingJing_Click(int Index);
    void cmddialog_Press();
    void CmdLang2_Click(int Index);
    // Reads the selected sentence, or stops the reading when it runs.
    void readoneSub();

    // The idle face of a mode's button ("readall-1", ...) and the button.
    ImageButton* ModeButton(std::int16_t mode) const;
    static QString IdleFace(std::int16_t mode);
    // The end of a mode: its idle face, no mode running.
    void Finish(std::int16_t mode);
    // The dialogue's own end: idle captions and faces, role buttons usable.
    void EndDialog();
    // The sound went away under the running mode: the mode stops as its stop
    // button stops it (every result so far is already stored), then the
    // learner reads `message`. Nothing when no mode runs.
    void StopForLostSound(const QString& message);

private:
    void ResetAttempts(bool withComputerLine);
    void MoveToSelected();
    void MoveToFirst();
    void TakeCurrent();
    void PlayCurrent();
    void SetReadingButtonsEnabled(bool enabled);

    frmExer& m_w;
    Program& m_program;
};
