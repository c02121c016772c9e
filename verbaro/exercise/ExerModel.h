#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

class frmExer;
class Program;

// The dialogue model and what the window sets up when it loads: the role
// list and the role buttons, the lesson names, the practice state, today's
// statistics row, the repeat count and the agent.
class ExerModel {
public:
    static constexpr int kRoleButtons = 6;

    ExerModel(frmExer& window, Program& program);

    // Builds RoleNames and the role buttons from the comma-separated names,
    // consuming AsDlgObj. A lesson without roles shows the difficulty scale
    // and the repeat count instead.
    bool DoIniDlgObj(QString& AsDlgObj, std::int16_t AiObjNums);
    // Shows the lesson names and resets the practice state: xy 0 after
    // opening, -1 after stepping; any other value does nothing.
    void DoIniSetting(std::int16_t xy);
    // Makes sure today's statistics row exists and rsSelRe stands on it.
    void OpenTodayRow();
    // Places and shows the chosen agent character, then sets the recogniser's
    // confidence thresholds for difficulty 1.
    void InitAgentAndRecogniser();
    // The lesson total as LbRCTip shows it.
    static QString ScoreText(std::int32_t score);

    // Difficulty option Index: any running mode stops; the recogniser's
    // thresholds and Fenshu follow difficulty Index + 1.
    void SbOpn_Click(int Index);
    // A role button pressed: toggles the role and rebuilds LearnerRoles.
    void chkobj_Press(int Index);
    // The repeat count typed or stepped: RETRYNUMS follows a whole number
    // 1..99; anything else is refused and RETRYNUMS keeps its value (the
    // up-down shows its value again when the box is left).
    void updNum_Change();

    // Whether the speaker is one of the roles the learner plays.
    bool IsRcObj(const QString& ACurObj) const;

    // The role names of the list, cut at commas: `count` names (the last
    // remainder repeats when commas run out) and one empty slot after them.
    static QStringList SplitRoleNames(QString& AsDlgObj, int count);

private:
    void ShowRoleControls(bool withRoles);
    void SetThresholds(int value);

    frmExer& m_w;
    Program& m_program;
};
