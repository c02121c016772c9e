#pragma once

#include "process/HandlerGuard.h"

#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>

class Program;
class ImageButton;
class ImageButtons;
class QFrame;
class QLabel;

namespace platform {
class DataGrid;
}

// The unit menu: the program's main window once start-up is over. It lists
// every part, unit and lesson with the learner's practice count and score.
class frmUnit : public QWidget {
    Q_OBJECT
public:
    explicit frmUnit(Program& program);
    ~frmUnit() override;

    // Loads the window on first use (running Form_Load), then shows it.
    void Show();

    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Text1_Click();
    void DataGrid1_DblClick();
    void CmdDo_MouseEnter(int Index);
    void CmdDo_MouseExit(int Index);
    // 0 enter, 1 help, 2 about, 3 exit, 4 practice log.
    void CmdDo_Click(int Index);

    // The bodies of the log and about buttons (CmdDo 4 and 2). ShowLog
    // reopens rsSelCom, so the log holds the day's latest totals, and shows
    // the statistics window modally unless it is already on screen; ShowAbout
    // shows the about window modally. Both return when the window has closed.
    void ShowLog();
    void ShowAbout();

    // The exit button's work (CmdDo 3): asks "确定要退出吗？"; on OK closes
    // the music alias, unloads the menu, restores the start-up display mode,
    // starts "start.exe" minimised and ends the program. False when the
    // learner cancelled (the button then shows its normal picture again).
    bool DoExit();

    // Binds the grid to rsSelUnit again and refreshes it, so it shows the
    // rows as now stored, with the recordset's current row selected.
    void RebindGrid();

    platform::DataGrid* DataGrid1;
    QLabel* Lblcontent;
    QLabel* Lblcishu;
    QLabel* Lblchengji;
    QLabel* Text1;
    // The wait notice shown while a lesson loads.
    QFrame* FrameTip;
    QLabel* Label1;
    QLabel* lbTip2;
    QLabel* Image2;
    // The five image buttons; null only when the control library is missing,
    // which ends the program.
    std::array<ImageButton*, 5> CmdDo{};

    bool canGo = false;
    std::int32_t RetValue = 0;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut();
    QRect scaled(int x, int y, int w, int h) const;
    double designedColumnWidth(int column) const;
    void IntroduceAgent();
    void createButtons();
    void EnterLesson();
    void OpenHelp();
    void SetButtonFace(int Index, int face);

    std::unique_ptr<ImageButtons> m_imageButtons;

    Program& m_program;
    platform::HandlerGuard m_guard;
    bool m_loaded = false;
    double m_layoutScale = 1.0; // screen width / 1024: the window fills the screen
};
