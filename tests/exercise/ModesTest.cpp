#include "ExerFixture.h"
#include "core/ImageButtons.h"
#include "core/ResPicture.h"
#include "exercise/ExerModel.h"
#include "exercise/ExerModes.h"
#include "exercise/ExerPlayback.h"
#include "exercise/frmExer.h"
#include "widgets/FlexGrid.h"
#include "widgets/PopupButton.h"

#include <QFrame>
#include <QLabel>
#include <functional>

namespace {

class ModesTest : public ExerFixture {
protected:
    // Starts mode `id` with its own button.
    void Press(frmExer& w, int id) {
        ExerModes& m = w.modes();
        switch (id) {
        case 1:
            m.CmdReadAll_Click();
            break;
        case 2:
            m.CmdRead_Click();
            break;
        case 3:
            m.CmdFollow_Click();
            break;
        case 4:
            m.cmddialog_Press();
            break;
        case 5:
            m.CmdFollowOne_Click();
            break;
        case 6:
            m.cmdrecord_Click();
            break;
        case 7:
            m.QingJing_Click(0);
            break;
        case 8:
            m.QingJing_Click(1);
            break;
        case 9:
            m.cmdrecordone_Click();
            break;
        }
    }
    bool IdleFace(frmExer& w, int id) {
        if (id == 4)
            return w.cmddialog->Caption() == "对 话" &&
                   w.cmddialog->Picture().toImage() == w.Image3->pixmap().toImage();
        return w.modes().ModeButton(id)->Picture().toImage() ==
               LoadResPicture(ExerModes::IdleFace(id)).toImage();
    }
    bool StopFace(frmExer& w, int id) {
        if (id == 4)
            return w.cmddialog->Caption() == "停 止";
        return w.modes().ModeButton(id)->Picture().toImage() == LoadResPicture("stop").toImage();
    }
    int Highlighted(frmExer& w) {
        int lit = 0;
        for (int r = 1; r < w.EGrid->Rows(); ++r)
            lit += w.EGrid->CellBackColorAt(r, 2) != w.EGrid->BackColor();
        return lit;
    }
};

// Each mode started, then its own button pressed again, then another mode's
// button pressed while it runs.
TEST_F(ModesTest, SwitchStopsTheRunningModeAndStartsTheNext) {
    frmExer& w = LoadLesson("010101");
    w.model().chkobj_Press(0);
    for (int id = 1; id <= 9; ++id) {
        SCOPED_TRACE(id);
        w.EGrid->SetRow(2);
        Press(w, id);
        ASSERT_EQ(w.CurMode, id);
        EXPECT_TRUE(StopFace(w, id));
        if (voice().startNext()) {
            ASSERT_GT(Highlighted(w), 0);
        }
        const int purgesBefore = voice().purges;
        const bool speaking = voice().Status().RunningState == 2;

        Press(w, id); // stops its own mode
        EXPECT_EQ(w.CurMode, 0);
        EXPECT_EQ(w.StreamMode, 0);
        EXPECT_TRUE(IdleFace(w, id));
        EXPECT_EQ(w.Label1->text(), " Welcome!");
        EXPECT_EQ(Highlighted(w), 0);
        EXPECT_EQ(voice().purges, purgesBefore + (speaking ? 1 : 0));
        EXPECT_FALSE(Listening());
        EXPECT_TRUE(w.Frame2->isEnabled());
        EXPECT_TRUE(w.CmdRead->Enabled());

        Press(w, id);
        const int next = id % 9 + 1;
        Press(w, next); // another mode takes over
        EXPECT_EQ(w.CurMode, next);
        EXPECT_TRUE(IdleFace(w, id));
        EXPECT_TRUE(StopFace(w, next));
        EXPECT_TRUE(w.SetcmdStop(w.CurMode, 0));
        EXPECT_EQ(w.CurMode, 0);
        EXPECT_TRUE(IdleFace(w, next));
        voice().Speak("", platform::IVoice::SVSFPurgeBeforeSpeak);
    }
    EXPECT_TRUE(w.SetcmdStop(0, 0));
    EXPECT_TRUE(w.SetcmdStop(0, 5));
    EXPECT_EQ(w.CurMode, 5);
}

TEST_F(ModesTest, DialogueLocksTheReadingButtonsAndTheRoles) {
    frmExer& w = LoadLesson("010101");
    w.model().chkobj_Press(1);
    w.modes().cmddialog_Press();
    EXPECT_EQ(w.cmddialog->Caption(), "停 止");
    EXPECT_EQ(w.cmddialog->Style(), 4);
    for (ImageButton* b : {w.CmdRead, w.CmdReadAll, w.CmdFollow, w.CmdFollowOne})
        EXPECT_FALSE(b->Enabled());
    EXPECT_FALSE(w.Frame2->isEnabled());
    w.modes().cmdrecordone_Click(); // any other mode button stops the dialogue
    for (ImageButton* b : {w.CmdRead, w.CmdReadAll, w.CmdFollow, w.CmdFollowOne})
        EXPECT_TRUE(b->Enabled());
    EXPECT_TRUE(w.Frame2->isEnabled());
    EXPECT_EQ(w.cmddialog->Caption(), "对 话");
}

TEST_F(ModesTest, FirstRoleNamedFollowMakesTheDialogueButtonFollow) {
    frmExer& w = LoadLesson("010101");
    QString roles = "Follow,B";
    w.DoIniDlgObj(roles, 2);
    w.model().chkobj_Press(1);
    w.modes().cmddialog_Press();
    EXPECT_EQ(w.CurMode, 3);
    EXPECT_EQ(w.cmddialog->Caption(), "停 止");
    EXPECT_EQ(w.TargetText, "Hello");
}

TEST_F(ModesTest, StoppedMonologueLeavesTheDialogueToTheLearner) {
    frmExer& w = LoadLesson("010101");
    w.modes().cmdrecord_Click();
    w.modes().cmdrecord_Click();
    EXPECT_TRUE(w.monolog);
    w.model().chkobj_Press(0);
    w.modes().cmddialog_Press();
    EXPECT_EQ(w.Label1->text(), "Please Say");
    EXPECT_TRUE(voice().spoken.isEmpty()) << "every line is the learner's";
}

TEST_F(ModesTest, RecordingNamesAndRefusedRecordings) {
    EXPECT_EQ(ExerPlayback::RecordingName("010101000010", "2", false), "010101000012");
    EXPECT_EQ(ExerPlayback::RecordingName("010101000010", "1", false), "010101000011");
    EXPECT_EQ(ExerPlayback::RecordingName("010101000010", "2", true), "010101000010");
    EXPECT_EQ(ExerPlayback::RecordingName("0101010", "2", false), "01010102");

    frmExer& w = LoadLesson("010101");
    voice().refused << folder.path() + "/lst/010101/010101000012.wav";
    w.modes().CmdFollow_Click();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "无法播放当前的声音流！");
    EXPECT_EQ(fake.messages.shown[0].title, "错误");
    EXPECT_EQ(w.CurMode, 3) << "the mode waits for the learner";
    w.modes().CmdFollow_Click();
    EXPECT_EQ(w.CurMode, 0);
    EXPECT_TRUE(fake.programEnd.runtimeErrors.isEmpty());
}

TEST_F(ModesTest, LanguageSwitchKeepsHighlightsAndSelection) {
    frmExer& w = LoadLesson("010101");
    w.modes().CmdFollow_Click();
    voice().startNext(); // row 1 is being read
    w.EGrid->SetRowSel(3);
    w.modes().CmdLang2_Click(1);
    EXPECT_FALSE(w.onoff);
    EXPECT_TRUE(w.Engli);
    EXPECT_TRUE(w.EGrid->isHidden());
    EXPECT_FALSE(w.CGrid->isHidden());
    EXPECT_EQ(w.CGrid->Row(), 3);
    EXPECT_EQ(w.CGrid->Col(), 2);
    EXPECT_EQ(w.CGrid->CellBackColorAt(1, 2), ReadingColour);
    EXPECT_EQ(w.CurMode, 3) << "the switch does not stop the mode";
    EXPECT_EQ(w.CmdLang2[1]->Picture().toImage(), LoadResPicture("1-2-lang").toImage());

    w.CGrid->SetRow(2);
    w.modes().CmdLang2_Click(1);
    EXPECT_TRUE(w.onoff);
    EXPECT_FALSE(w.Engli);
    EXPECT_FALSE(w.EGrid->isHidden());
    EXPECT_EQ(w.EGrid->Row(), 2);
    EXPECT_EQ(w.EGrid->CellBackColorAt(1, 2), ReadingColour);
    EXPECT_EQ(w.CmdLang2[1]->Picture().toImage(), LoadResPicture("0-2-lang").toImage());
}

} // namespace
