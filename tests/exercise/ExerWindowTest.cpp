#include "ExerFixture.h"
#include "core/ImageButtons.h"
#include "db/Database.h"
#include "exercise/ExerModel.h"
#include "exercise/ExerModes.h"
#include "exercise/frmExer.h"
#include "widgets/FlexGrid.h"
#include "widgets/PopupButton.h"
#include "widgets/UpDown.h"
#include "windows/frmUnit.h"

#include <QApplication>
#include <QDate>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {

using ExerWindowTest = ExerFixture;

TEST_F(ExerWindowTest, LoadShowsTheLessonWithItsDefaults) {
    program->vars.ReadSpeed = "1";
    frmExer& w = LoadLesson("010102");
    EXPECT_EQ(w.windowTitle(), "Verbaro");
    EXPECT_EQ(w.Lbunited->text(), "Lesson two");
    EXPECT_EQ(w.LbUnit->text(), "Part one");
    EXPECT_EQ(w.lbunits->text(), "Unit one");
    EXPECT_EQ(w.Label1->text(), " Welcome!");
    EXPECT_EQ(w.LbRCTip->text(), " 12分");
    EXPECT_EQ(w.LbObjTip->text(), "选择角色");
    EXPECT_EQ(w.Label8->text(), "设置识别难度:");
    EXPECT_EQ(w.Label5->text(), "易");
    EXPECT_EQ(w.Label4->text(), "难");
    EXPECT_EQ(w.lblRCNum->text(), "学习次数：");
    EXPECT_EQ(w.txtNum->text(), "1");
    EXPECT_EQ(w.cmddialog->Caption(), "对 话");
    EXPECT_FALSE(w.cmddialog->Enabled()) << "no role selected yet";
    EXPECT_EQ(program->vars.ReadSpeed, "2");
    EXPECT_EQ(w.Fenshu, 1);
    EXPECT_EQ(w.RETRYNUMS, 1);
    EXPECT_TRUE(w.onoff);
    EXPECT_EQ(w.DlgCount, 3);
    EXPECT_FALSE(w.EGrid->isHidden());
    EXPECT_TRUE(w.CGrid->isHidden());
    EXPECT_EQ(w.EGrid->TextMatrix(1, 2), "Good morning.");
    EXPECT_EQ(w.CGrid->TextMatrix(1, 2), "早上好。");

    // Speech objects: two voices and one recognition context, the grammar
    // made and inactive; thresholds for difficulty 1.
    EXPECT_EQ(fake.speech.voices.size(), 2u);
    ASSERT_EQ(fake.speech.contexts.size(), 1u);
    EXPECT_EQ(program->vars.RecoGrammar, static_cast<platform::ISpeechGrammar*>(grammar()));
    EXPECT_FALSE(Listening());
    for (const char* name :
         {"HighConfidenceThreshold", "NormalConfidenceThreshold", "LowConfidenceThreshold"})
        EXPECT_EQ(reco().properties.GetPropertyNumber(name), 10) << name;

    // The agent stands at the lower right.
    FakeAgentCharacter* merlin = fake.agent.character("Merlin");
    EXPECT_EQ(merlin->left, 850);
    EXPECT_EQ(merlin->top, 550);
    EXPECT_TRUE(merlin->visible);
    EXPECT_TRUE(merlin->calls.contains("Stop"));
}

TEST_F(ExerWindowTest, TodaysStatisticsRowIsMadeOnceADay) {
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    LoadLesson("010101");
    exer().Unload();
    QApplication::processEvents();
    LoadLesson("010102");
    auto db = platform::db::Database::open(folder.path() + "/data/qvedbdemo.aaa", "pqlomvek",
                                           platform::db::Database::OpenMode::ExistingOnly);
    const auto rows =
        db->query("SELECT NowChengji, NowCishu FROM TAB_Box WHERE NowData = ?", {today});
    ASSERT_EQ(rows.rows.size(), 1u);
    EXPECT_EQ(rows.rows[0][0].toInt(), 0);
    EXPECT_EQ(rows.rows[0][1].toInt(), 0);
    EXPECT_EQ(program->MyDataEm.rsSelRe.Field("NowData").toString(), today);
}

TEST_F(ExerWindowTest, ActivationAndUnloadHandTheMusicBack) {
    program->vars.AppPath = folder.path() + "/my programs/";
    frmUnit& menu = program->forms.get<frmUnit>();
    fake.mediaCommands.results["CLOSE BACKGROUNDMUSIC"] = 263;
    frmExer& w = LoadLesson("010101");
    w.Form_Activate();
    EXPECT_EQ(w.Label3->text(), "A: Amy  B: Bob");
    EXPECT_EQ(fake.mediaCommands.sent.last(), "CLOSE BackgroundMusic");
    EXPECT_EQ(menu.RetValue, 263);

    QPointer<FakeVoice> voice = fake.speech.voices[0];
    QPointer<FakeRecoContext> context = fake.speech.contexts[0];
    w.Unload();
    EXPECT_EQ(fake.mediaCommands.sent.last(),
              "OPEN \"" + folder.path() +
                  "/my programs/wave/backsound.mid\" TYPE SEQUENCER ALIAS "
                  "BackgroundMusic");
    EXPECT_EQ(menu.RetValue, 0);
    EXPECT_TRUE(voice.isNull());
    EXPECT_TRUE(context.isNull());
    EXPECT_EQ(program->vars.RecoGrammar, nullptr);
    QApplication::processEvents();
    EXPECT_FALSE(program->forms.isLoaded<frmExer>());
}

TEST_F(ExerWindowTest, RoleLists) {
    struct Case {
        const char* roles;
        std::int16_t count;
        QStringList names; // RoleNames, the empty last slot included
        int buttons;
        const char* left; // what remains of the list
    };
    const Case cases[] = {
        {"A,B", 2, {"A", "B", ""}, 2, "B"},
        {"A,B", 3, {"A", "B", "B", ""}, 3, "B"},
        {"a,b,c,d,e,f,g,h", 8, {"a", "b", "c", "d", "e", "f", "g", "h", ""}, 6, "h"},
        {"A,,C", 3, {"A", "", "C", ""}, 3, "C"},
    };
    frmExer& w = LoadLesson("010101");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.roles);
        QString list = c.roles;
        ASSERT_TRUE(w.DoIniDlgObj(list, c.count));
        EXPECT_EQ(list, c.left);
        EXPECT_EQ(w.RoleNames, c.names);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(w.chkobj[i]->Visible(), i < c.buttons) << i;
            EXPECT_EQ(w.chkobj[i]->Value(), 0) << i;
            if (i < c.buttons) {
                EXPECT_EQ(w.chkobj[i]->Caption(), c.names[i]);
            }
        }
        EXPECT_TRUE(w.cmddialog->Visible());
        EXPECT_TRUE(w.Shape1->isVisibleTo(&w));
        EXPECT_FALSE(w.SbOpn[0]->isVisibleTo(&w));
        EXPECT_FALSE(w.txtNum->isVisibleTo(&w));
    }
}

TEST_F(ExerWindowTest, LessonWithoutRolesShowsDifficultyAndRepeatCount) {
    frmExer& w = LoadLesson("030101");
    EXPECT_FALSE(w.Frame2->isVisibleTo(&w));
    EXPECT_FALSE(w.Shape1->isVisibleTo(&w));
    EXPECT_FALSE(w.LbObjTip->isVisibleTo(&w));
    EXPECT_FALSE(w.cmddialog->Visible());
    for (auto* b : w.chkobj)
        EXPECT_FALSE(b->Visible());
    EXPECT_EQ(w.chkobj[0]->Value(), 1);
    EXPECT_EQ(w.chkobj[1]->Value(), 1);
    for (QWidget* c : {static_cast<QWidget*>(w.Label8), static_cast<QWidget*>(w.Label4),
                       static_cast<QWidget*>(w.Label5), static_cast<QWidget*>(w.lblRCNum),
                       static_cast<QWidget*>(w.txtNum), static_cast<QWidget*>(w.updNum)})
        EXPECT_TRUE(c->isVisibleTo(&w)) << qPrintable(c->objectName());
    for (auto* o : w.SbOpn)
        EXPECT_TRUE(o->isVisibleTo(&w));
    EXPECT_EQ(w.LbRCTip->text(), "还没得分呢");
}

TEST_F(ExerWindowTest, RoleSelectionEnablesTheDialogue) {
    frmExer& w = LoadLesson("010101");
    w.chkobj[1]->Press();
    EXPECT_EQ(w.chkobj[1]->Value(), 1);
    EXPECT_EQ(w.chkobj[1]->Style(), 4);
    EXPECT_EQ(w.LearnerRoles, QStringList({"B"}));
    EXPECT_TRUE(w.cmddialog->Enabled());
    w.chkobj[0]->Press();
    EXPECT_EQ(w.LearnerRoles, QStringList({"A", "B"}));
    w.chkobj[0]->Press();
    w.chkobj[1]->Press();
    EXPECT_FALSE(w.cmddialog->Enabled());
    EXPECT_EQ(w.LearnerRoles, QStringList({"B"})) << "kept while nothing reads it";
}

TEST_F(ExerWindowTest, RepeatCountTakesWholeNumbersFromOneOnly) {
    frmExer& w = LoadLesson("030101");
    w.updNum->StepUp();
    w.updNum->StepUp();
    EXPECT_EQ(w.RETRYNUMS, 3);
    EXPECT_EQ(w.txtNum->text(), "3");
    for (const char* typed : {"0", "", "100"}) {
        w.txtNum->setText(typed);
        w.model().updNum_Change();
        EXPECT_EQ(w.RETRYNUMS, 3) << typed;
    }
    w.txtNum->setText("7");
    w.model().updNum_Change();
    EXPECT_EQ(w.RETRYNUMS, 7);
    EXPECT_EQ(w.updNum->Min(), 1);
    EXPECT_EQ(w.updNum->Max(), 99);
}

TEST_F(ExerWindowTest, DifficultyOptionSetsThresholdsAndStopsTheMode) {
    frmExer& w = LoadLesson("030101");
    w.modes().CmdFollow_Click();
    ASSERT_EQ(w.CurMode, 3);
    w.SbOpn[9]->click();
    EXPECT_EQ(w.CurMode, 0);
    EXPECT_EQ(w.Fenshu, 10);
    EXPECT_EQ(reco().properties.GetPropertyNumber("NormalConfidenceThreshold"), 100);
    EXPECT_FALSE(Listening());
}

TEST_F(ExerWindowTest, ResizingDoesNotCompoundTheFontScale) {
    program->vars.ScaleFactor = 1.25;
    frmExer& w = LoadLesson("010101");
    for (int i = 0; i < 3; ++i)
        w.Form_Resize();
    EXPECT_DOUBLE_EQ(w.EGrid->FontSize(), 15.75 * 1.25);
    EXPECT_DOUBLE_EQ(w.CGrid->FontSize(), 12 * 1.25);
    EXPECT_EQ(w.EGrid->FontFixed().pointSizeF(), 14.25);
    EXPECT_DOUBLE_EQ(w.cmddialog->Width(), 1050);
    EXPECT_DOUBLE_EQ(w.cmddialog->Height(), 360);
}

} // namespace
