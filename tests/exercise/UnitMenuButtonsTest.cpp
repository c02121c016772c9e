#include "ExerFixture.h"
#include "core/ImageButtons.h"
#include "core/ResPicture.h"
#include "exercise/frmExer.h"
#include "windows/frmUnit.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QTimer>

using platform::MsgAnswer;

namespace {

class UnitMenuButtonsTest : public ExerFixture {
protected:
    frmUnit& menu() { return program->forms.get<frmUnit>(); }
};

TEST_F(UnitMenuButtonsTest, FiveButtonsWithTheirPicturesAndHover) {
    frmUnit& m = menu();
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        ImageButton* button = m.CmdDo[i];
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(Shows(button, QString("%1-1-main").arg(i)));
        emit button->MouseEnter();
        EXPECT_TRUE(Shows(button, QString("%1-2-main").arg(i)));
        emit button->MouseExit();
        EXPECT_TRUE(Shows(button, QString("%1-1-main").arg(i)));
    }
    EXPECT_TRUE(fake.messages.shown.empty());
}

// Lessons open only once Merlin has been introduced.
TEST_F(UnitMenuButtonsTest, EnterAndDoubleClickWaitForTheIntroduction) {
    frmUnit& m = menu();
    SelectUnitRow("010101");
    ASSERT_FALSE(m.canGo);
    m.CmdDo_Click(0);
    m.DataGrid1_DblClick();
    QApplication::processEvents();
    EXPECT_FALSE(program->forms.isLoaded<frmExer>());
    EXPECT_FALSE(m.FrameTip->isVisible());

    program->vars.AgentChoice = 0;
    m.Form_Activate();
    EXPECT_TRUE(m.canGo);
    EXPECT_EQ(program->vars.AgentChoice, 2);

    for (const bool grid : {false, true}) {
        SCOPED_TRACE(grid ? "double-click" : "enter");
        QString opened;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!program->forms.isLoaded<frmExer>() || !exer().isVisible())
                return;
            poll.stop();
            opened = exer().Lbunited->text();
            exer().Unload();
        });
        poll.start();
        m.CmdDo[0]->SetPictureByName("0-2-main");
        if (grid)
            m.DataGrid1_DblClick();
        else
            m.CmdDo_Click(0);
        EXPECT_EQ(opened, "Lesson one");
        EXPECT_TRUE(m.canGo);
        EXPECT_FALSE(m.FrameTip->isVisible());
        if (!grid) {
            EXPECT_TRUE(Shows(m.CmdDo[0], "0-1-main"));
        }
        QApplication::processEvents();
    }
}

// After "None" was chosen, coming back to the menu brings Merlin back.
TEST_F(UnitMenuButtonsTest, MerlinReturnsAfterNoneWasChosen) {
    frmUnit& m = menu();
    program->vars.MerlinPath = program->vars.AppPath + "CHAR/Merlin.acs";
    program->vars.AgentChoice = 5;
    fake.agent.Unload("Merlin");
    fake.agent.calls.clear();
    m.Form_Activate();
    EXPECT_EQ(program->vars.AgentChoice, 2);
    EXPECT_TRUE(fake.agent.calls.contains("Load Merlin " + program->vars.MerlinPath));
    const FakeAgentCharacter* merlin = fake.agent.character("Merlin");
    ASSERT_NE(merlin, nullptr);
    EXPECT_TRUE(merlin->visible);
    EXPECT_TRUE(merlin->calls.contains("MoveTo 10,530,1000"));
    EXPECT_TRUE(m.canGo);
    // With a character in place, activating again leaves it alone.
    fake.agent.calls.clear();
    m.Form_Activate();
    EXPECT_TRUE(fake.agent.calls.isEmpty());
}

TEST_F(UnitMenuButtonsTest, HelpAboutAndLogPutBackTheirPictures) {
    frmUnit& m = menu();
    QFile help(program->vars.AppPath + "QVhelp.chm");
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();
    fake.help.opens = false;
    m.CmdDo[1]->SetPictureByName("1-2-main");
    m.CmdDo_Click(1);
    ASSERT_EQ(fake.help.shownFiles.size(), 1);
    EXPECT_EQ(fake.help.shownFiles[0], program->vars.AppPath + "QVhelp.chm");
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "无法打开帮助文件！");
    EXPECT_EQ(fake.messages.shown[0].title, "错误");
    EXPECT_TRUE(Shows(m.CmdDo[1], "1-1-main"));
    fake.help.opens = true;
    m.CmdDo_Click(1);
    EXPECT_EQ(fake.messages.shown.size(), 1u);

    for (const int button : {2, 4}) {
        SCOPED_TRACE(button);
        m.CmdDo[button]->SetPictureByName(QString("%1-2-main").arg(button));
        // Closes the modal window once it is up.
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&poll] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                poll.stop();
                modal->close();
            }
        });
        poll.start();
        m.CmdDo_Click(button);
        EXPECT_TRUE(Shows(m.CmdDo[button], QString("%1-1-main").arg(button)));
    }
}

TEST_F(UnitMenuButtonsTest, ExitCancelKeepsTheMenuOkEnds) {
    frmUnit& m = menu();
    fake.messages.answers.push_back(MsgAnswer::Cancel);
    m.CmdDo[3]->SetPictureByName("3-2-main");
    m.CmdDo_Click(3);
    EXPECT_EQ(fake.messages.shown.at(0).text, "确定要退出吗？");
    EXPECT_TRUE(Shows(m.CmdDo[3], "3-1-main"));
    EXPECT_TRUE(program->forms.isLoaded<frmUnit>());
    EXPECT_FALSE(fake.programEnd.endedWith);

    fake.messages.answers.push_back(MsgAnswer::Ok);
    m.CmdDo_Click(3);
    EXPECT_FALSE(program->forms.isLoaded<frmUnit>());
    ASSERT_EQ(fake.processes.started.size(), 1u);
    EXPECT_EQ(fake.processes.started[0].first, program->vars.AppPath + "start.exe");
    EXPECT_EQ(fake.programEnd.endedWith, 0);
}

} // namespace
