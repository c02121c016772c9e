#include "ExerFixture.h"
#include "core/ImageButtons.h"
#include "core/ResPicture.h"
#include "db/Database.h"
#include "exercise/ExerButtons.h"
#include "exercise/ExerModes.h"
#include "exercise/frmExer.h"
#include "widgets/DataGrid.h"
#include "widgets/FlexGrid.h"
#include "windows/Form1.h"
#include "windows/frmUnit.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QRadioButton>

using platform::MsgAnswer;

namespace {

class NavigationTest : public ExerFixture {
protected:
    ExerButtons& buttons() { return exer().buttons(); }
    QString CurrentId() { return program->MyDataEm.rsSelUnit.Field("UnitID").toString(); }
};

TEST_F(NavigationTest, EveryImageButtonSwapsItsPicturesUnderThePointer) {
    frmExer& w = LoadLesson("010101");
    struct Case {
        ImageButton* button;
        const char* over;
        const char* away;
    };
    const Case cases[] = {
        {w.CmdReadAll, "readall-2", "readall-1"},
        {w.CmdRead, "read-2", "read-1"},
        {w.CmdFollow, "follow-2", "follow-1"},
        {w.CmdFollowOne, "followone-2", "followone-1"},
        {w.cmdrecord, "record-2", "record-1"},
        {w.cmdrecordone, "recordone-2", "recordone-1"},
        {w.QingJing[0], "0-2-qingjing", "0-1-qingjing"},
        {w.QingJing[1], "1-2-qingjing", "1-1-qingjing"},
        {w.CmdLang2[1], "1-2-lang", "1-1-lang"}, // the Chinese grid is hidden
        {w.Cmdhelp, "help-2", "help-1"},
        {w.CmdSet, "set-2", "set-1"},
        {w.CmdReturn, "return-2", "return-1"},
        {w.CmdExit, "exit-2", "exit-1"},
        {w.SelLesson[0], "0-2-sel", "0-1-sel"},
        {w.SelLesson[1], "1-2-sel", "1-1-sel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.over);
        emit c.button->MouseEnter();
        EXPECT_TRUE(Shows(c.button, c.over));
        emit c.button->MouseExit();
        EXPECT_TRUE(Shows(c.button, c.away));
    }
    w.Engli = true;
    buttons().MouseEnter(w.CmdLang2[1]);
    EXPECT_TRUE(Shows(w.CmdLang2[1], "0-2-lang"));
}

TEST_F(NavigationTest, RunningModesButtonKeepsItsStopPicture) {
    frmExer& w = LoadLesson("010101");
    struct Case {
        ImageButton* running;
        std::int16_t mode;
    };
    const Case cases[] = {{w.CmdRead, 2}, {w.cmdrecordone, 9}, {w.QingJing[1], 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        w.CurMode = c.mode;
        c.running->SetPictureByName("stop");
        buttons().MouseEnter(c.running);
        EXPECT_TRUE(Shows(c.running, "stop"));
        buttons().MouseExit(c.running);
        EXPECT_TRUE(Shows(c.running, "stop"));
        // Another button still answers the pointer.
        buttons().MouseEnter(w.CmdFollow);
        EXPECT_TRUE(Shows(w.CmdFollow, "follow-2"));
        buttons().MouseExit(w.CmdFollow);
    }
}

TEST_F(NavigationTest, LessonArrowsShowTheirTipBelowRight) {
    frmExer& w = LoadLesson("010103");
    const char* const tips[] = {"上一课", "下一课"};
    for (int i = 0; i < 2; ++i) {
        buttons().MouseEnter(w.SelLesson[i]);
        EXPECT_TRUE(w.Text1->isVisible());
        EXPECT_EQ(w.Text1->text(), QString::fromUtf8(tips[i]));
        const QRect arrow = w.SelLesson[i]->control()->geometry();
        EXPECT_NEAR(w.Text1->x(), arrow.right() + 1, 1);
        EXPECT_NEAR(w.Text1->y(), arrow.bottom() + 1, 1);
        buttons().MouseExit(w.SelLesson[i]);
        EXPECT_FALSE(w.Text1->isVisible());
    }
}

TEST_F(NavigationTest, HelpStopsTheModeAndTellsWhenTheFileWillNotOpen) {
    frmExer& w = LoadLesson("010101");
    w.modes().CmdReadAll_Click();
    // Missing, then there but not readable, then shown.
    buttons().Cmdhelp_Click();
    EXPECT_EQ(w.CurMode, 0);
    QFile help(program->vars.AppPath + "QVhelp.chm");
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();
    fake.help.opens = false;
    w.Cmdhelp->SetPictureByName("help-2");
    buttons().Cmdhelp_Click();
    ASSERT_EQ(fake.help.shownFiles.size(), 1);
    EXPECT_EQ(fake.help.shownFiles[0], program->vars.AppPath + "QVhelp.chm");
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    for (const auto& shown : fake.messages.shown) {
        EXPECT_EQ(shown.text, "无法打开帮助文件！");
        EXPECT_EQ(shown.title, "错误");
    }
    EXPECT_TRUE(Shows(w.Cmdhelp, "help-1"));
    fake.help.opens = true;
    buttons().Cmdhelp_Click();
    EXPECT_EQ(fake.messages.shown.size(), 2u);
}

TEST_F(NavigationTest, ExitAsksCancelKeepsTheLessonOkEndsTheProgram) {
    frmExer& w = LoadLesson("010101");
    program->forms.get<frmUnit>();
    fake.messages.answers.push_back(MsgAnswer::Cancel);
    w.CmdExit->SetPictureByName("exit-2");
    buttons().CmdExit_Click();
    EXPECT_EQ(fake.messages.shown.at(0).text, "确定要退出吗？");
    EXPECT_EQ(fake.messages.shown.at(0).title, "提示");
    EXPECT_TRUE(Shows(w.CmdExit, "exit-1"));
    EXPECT_TRUE(program->forms.isLoaded<frmExer>());
    EXPECT_TRUE(fake.processes.started.empty());
    EXPECT_FALSE(fake.programEnd.endedWith);

    fake.messages.answers.push_back(MsgAnswer::Ok);
    buttons().CmdExit_Click();
    EXPECT_FALSE(program->forms.isLoaded<frmExer>());
    EXPECT_FALSE(program->forms.isLoaded<frmUnit>());
    ASSERT_EQ(fake.processes.started.size(), 1u);
    EXPECT_EQ(fake.processes.started[0].first, program->vars.AppPath + "start.exe");
    EXPECT_EQ(fake.processes.started[0].second, platform::WindowStyle::MinimizedFocus);
    EXPECT_EQ(fake.programEnd.endedWith, 0);
}

// Scoring writes the lesson's totals while the lesson is open; returning
// shows them on the same row. The close box is the same way back.
TEST_F(NavigationTest, ReturnKeepsTheLessonSelectedWithItsNewTotals) {
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "return button");
        frmUnit& menu = program->forms.get<frmUnit>();
        menu.canGo = false;
        frmExer& w = LoadLesson("010103");
        const int row = program->MyDataEm.rsSelUnit.AbsolutePosition();
        platform::db::Database::open(folder.path() + "/data/qvedbdemo.aaa", "pqlomvek",
                                     platform::db::Database::OpenMode::ExistingOnly)
            ->execScript(QString("UPDATE TAB_Unit SET cishu = %1, chengji = 77 "
                                 "WHERE UnitID = '010103';")
                             .arg(closeBox ? 6 : 5));
        if (closeBox)
            w.close();
        else
            buttons().CmdReturn_Click();
        QApplication::processEvents();
        EXPECT_FALSE(program->forms.isLoaded<frmExer>());
        EXPECT_TRUE(menu.canGo);
        auto& units = program->MyDataEm.rsSelUnit;
        EXPECT_EQ(units.AbsolutePosition(), row);
        EXPECT_EQ(CurrentId(), "010103");
        EXPECT_EQ(units.Field("chengji").toInt(), 77);
        const QModelIndex current = menu.DataGrid1->currentIndex();
        EXPECT_EQ(current.row(), row - 1);
        EXPECT_EQ(menu.DataGrid1->model()->index(row - 1, 1).data().toInt(), closeBox ? 6 : 5);
        EXPECT_EQ(menu.DataGrid1->model()->index(row - 1, 2).data().toInt(), 77);
        const FakeAgentCharacter* merlin = fake.agent.character("Merlin");
        ASSERT_NE(merlin, nullptr);
        EXPECT_EQ(merlin->left, 10);
        EXPECT_EQ(merlin->top, 530);
    }
}

TEST_F(NavigationTest, ReturnWithoutACharacterMovesNone) {
    program->vars.AgentChoice = 5;
    program->forms.get<frmUnit>();
    LoadLesson("010101");
    FakeAgentCharacter* merlin = fake.agent.character("Merlin");
    merlin->left = 850;
    buttons().CmdReturn_Click();
    EXPECT_EQ(merlin->left, 850);
}

// Stepping moves over heading rows to the neighbouring lesson and reloads the
// window in place; at either end of the list the window stays on its lesson.
TEST_F(NavigationTest, SteppingReachesTheNeighbouringLesson) {
    struct Case {
        const char* from;
        int direction;
        const char* to;
        const char* title; // the exercise window's title after the step
        const char* score;
        bool previous;
        bool next;
        int rows; // sentences in the grids
    };
    const Case cases[] = {
        {"010102", 0, "010101", "Lesson one", "还没得分呢", false, true, 4},
        {"010101", 1, "010102", "Lesson two", " 12分", true, false, 3},
        {"010102", 1, "010103", "Lesson three", "还没得分呢", true, true, 5},
        // Over the unit row, the lesson without sentences and the part rows.
        {"010104", 1, "030101", "Monologue", "还没得分呢", true, true, 3},
        {"030101", 0, "010104", "Long lesson", "还没得分呢", true, true, 12},
        {"010101", 0, "010101", "Lesson one", "还没得分呢", false, true, 4},
        {"030101", 1, "030101", "Monologue", "还没得分呢", true, false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.from) + (c.direction ? " next" : " previous"));
        frmExer& w = LoadLesson(c.from);
        w.CurMode = 0;
        buttons().SelLesson_Click(c.direction);
        QApplication::processEvents();
        EXPECT_EQ(CurrentId(), c.to);
        EXPECT_EQ(program->vars.CurUnitID, c.to);
        EXPECT_EQ(w.Lbunited->text(), c.title);
        EXPECT_EQ(w.LbRCTip->text(), c.score);
        EXPECT_EQ(w.SelLesson[0]->Enabled(), c.previous);
        EXPECT_EQ(w.SelLesson[1]->Enabled(), c.next);
        EXPECT_EQ(w.EGrid->Rows() - 1, c.rows);
        EXPECT_EQ(w.EGrid->Row(), 1);
        EXPECT_FALSE(w.Text1->isVisible());
        EXPECT_FALSE(program->forms.isLoaded<Form1>());
        w.Unload();
        QApplication::processEvents();
    }
}

TEST_F(NavigationTest, SteppingStopsTheRunningModeAndShowsTheNewLessonsRoles) {
    frmExer& w = LoadLesson("010101");
    w.modes().CmdReadAll_Click();
    ASSERT_EQ(w.CurMode, 1);
    buttons().SelLesson_Click(1);
    EXPECT_EQ(w.CurMode, 0);
    EXPECT_EQ(w.RoleNames.value(0), "Tom");
    EXPECT_EQ(w.RoleNames.value(1), "Lucy");
    EXPECT_EQ(w.lbunits->text(), "Unit one");
    EXPECT_EQ(w.LbUnit->text(), "Part one");
}

} // namespace
