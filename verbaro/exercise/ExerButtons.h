#pragma once

#include <cstdint>

class frmExer;
class ImageButton;
class Program;

// The exercise window's image buttons as the learner points at them, and the
// navigation and utility buttons: help, settings, return to the unit menu,
// exit, and the previous and next lesson arrows.
class ExerButtons {
public:
    ExerButtons(frmExer& window, Program& program);

    // Connects the hover of every image button and the clicks of the
    // navigation buttons.
    void Connect();

    // Hover by button: the highlighted picture on entering, the normal one on
    // leaving; a running mode's button keeps its stop picture.
    void MouseEnter(ImageButton* button);
    void MouseExit(ImageButton* button);

    void Cmdhelp_Click();
    void CmdSet_Click();
    // Back to the unit menu, on the same lesson with its new totals. The
    // window's close box does the same.
    void CmdReturn_Click();
    void CmdExit_Click();
    // Index 0 steps to the previous lesson, 1 to the next.
    void SelLesson_Click(int Index);

private:
    void ReturnToSameRow();
    void ParkAgentForMenu();

    frmExer& m_w;
    Program& m_program;
};
