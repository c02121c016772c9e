// The sound going away in the middle of a practice mode: the voice fails
// under a recording, or the microphone stops while the learner is to speak.
// The mode stops as its stop button stops it, the learner reads why, every
// attempt judged before stays stored, and the next mode starts as usual.
#include "ExerFixture.h"
#include "core/ImageButtons.h"
#include "core/ResPicture.h"
#include "db/Database.h"
#include "exercise/ExerModel.h"
#include "exercise/ExerModes.h"
#include "exercise/ExerPlayback.h"
#include "exercise/frmExer.h"
#include "speech/ISpeechGrammar.h"
#include "widgets/FlexGrid.h"
#include "widgets/PopupButton.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <functional>

using platform::db::Database;

namespace {

const QString kPlaybackLost = QStringLiteral("声音播放中断，练习已停止。请检查扬声器后重试！");
const QString kMicrophoneLost = QStringLiteral("麦克风录音中断，练习已停止。请检查麦克风后重试！");

class SoundLostTest : public ExerFixture {
public:
    // For the cases' steps.
    using ExerFixture::Listening;
    using ExerFixture::reco;
    using ExerFixture::voice;

protected:
    // "chengji/cishu" of a sentence as stored, "-" for Null.
    QString Stored(const QString& dlgId) {
        auto db = Database::open(folder.path() + "/data/qvedbdemo.aaa", "pqlomvek",
                                 Database::OpenMode::ExistingOnly);
        const auto r = db->query("SELECT chengji, cishu FROM TAB_Dlg WHERE DlgID = ?", {dlgId});
        auto text = [](const QVariant& v) { return v.isNull() ? QString("-") : v.toString(); };
        return text(r.rows.at(0).at(0)) + "/" + text(r.rows.at(0).at(1));
    }
    // Rows of the sentence column carrying a highlight, in either grid.
    int HighlightedRows() {
        frmExer& w = exer();
        int n = 0;
        for (int r = 1; r < w.EGrid->Rows(); ++r)
            n += w.EGrid->CellBackColorAt(r, 2) != w.EGrid->BackColor() ||
                 w.CGrid->CellBackColorAt(r, 2) != w.CGrid->BackColor();
        return n;
    }
    QStringList Messages() {
        QStringList texts;
        for (const auto& box : fake.messages.shown) {
            EXPECT_EQ(box.title, QStringLiteral("错误"));
            texts << box.text;
        }
        return texts;
    }
};

struct LostCase {
    const char* name;
    const char* lesson;
    std::function<void(frmExer&)> press;
    // Plays the mode up to the loss, which it brings about.
    std::function<void(SoundLostTest&)> lose;
    QString message;
    // The button and idle face the stopped mode is back to (none for the dialogue).
    std::function<ImageButton*(frmExer&)> button;
    const char* face;
    // "chengji/cishu" stored for the lesson's first sentence afterwards.
    const char* stored;
};

TEST_F(SoundLostTest, TheModeStopsTheLearnerIsToldAndWhatWasJudgedStaysStored) {
    const LostCase cases[] = {
        {"read-all: the voice fails under the second sentence", "030101",
         [](frmExer& w) { w.modes().CmdReadAll_Click(); },
         [](SoundLostTest& t) {
             ASSERT_TRUE(t.voice().playNext());
             ASSERT_TRUE(t.voice().startNext());
             ASSERT_TRUE(t.voice().failCurrent());
         },
         kPlaybackLost, [](frmExer& w) { return w.CmdReadAll; }, "readall-1", "-/-"},
        {"follow-all: the voice fails under the second model, after a right answer", "030101",
         [](frmExer& w) { w.modes().CmdFollow_Click(); },
         [](SoundLostTest& t) {
             ASSERT_TRUE(t.voice().playNext());
             ASSERT_TRUE(t.reco().hear("One"));
             ASSERT_TRUE(t.voice().startNext());
             ASSERT_TRUE(t.voice().failCurrent());
         },
         kPlaybackLost, [](frmExer& w) { return w.CmdFollow; }, "follow-1", "1/1"},
        {"follow-all: the microphone goes while the learner is to speak", "030101",
         [](frmExer& w) { w.modes().CmdFollow_Click(); },
         [](SoundLostTest& t) {
             ASSERT_TRUE(t.voice().playNext());
             ASSERT_TRUE(t.reco().hear("One"));
             ASSERT_TRUE(t.voice().playNext());
             ASSERT_TRUE(t.Listening());
             t.reco().loseSource();
         },
         kMicrophoneLost, [](frmExer& w) { return w.CmdFollow; }, "follow-1", "1/1"},
        {"dialogue: the microphone goes during the learner's line", "010101",
         [](frmExer& w) {
             w.model().chkobj_Press(0);
             w.modes().cmddialog_Press();
         },
         [](SoundLostTest& t) {
             // The learner's first line, the computer's answer, the learner's next line.
             for (const char* line : {"Hello", "How are you"}) {
                 for (int i = 0; i < 5 && !t.Listening(); ++i)
                     t.voice().playNext();
                 ASSERT_TRUE(t.Listening()) << line;
                 if (QString(line) == "Hello") {
                     ASSERT_TRUE(t.reco().hear(line));
                 }
             }
             t.reco().loseSource();
         },
         kMicrophoneLost, [](frmExer&) -> ImageButton* { return nullptr; }, nullptr, "1/1"},
    };
    for (const LostCase& c : cases) {
        SCOPED_TRACE(c.name);
        frmExer& w = LoadLesson(c.lesson);
        program->vars.AgentChar = fake.agent.character("Merlin");
        fake.messages.shown.clear();
        c.press(w);
        ASSERT_NE(w.CurMode, 0);
        c.lose(*this);
        if (HasFatalFailure())
            return;

        EXPECT_EQ(Messages(), QStringList{c.message});
        EXPECT_EQ(w.CurMode, 0);
        EXPECT_EQ(w.StreamMode, 0);
        EXPECT_FALSE(Listening());
        EXPECT_EQ(HighlightedRows(), 0);
        EXPECT_EQ(w.Label1->text(), QStringLiteral(" Welcome!"));
        if (ImageButton* button = c.button(w)) {
            EXPECT_EQ(button->Picture().toImage(), LoadResPicture(c.face).toImage());
        } else {
            EXPECT_EQ(w.cmddialog->Caption(), QStringLiteral("对 话"));
        }
        EXPECT_TRUE(w.Frame2->isEnabled()) << "the roles can be chosen again";
        EXPECT_EQ(voice().Status().RunningState, platform::IVoice::SRSEDone);
        EXPECT_TRUE(fake.programEnd.runtimeErrors.isEmpty());
        EXPECT_FALSE(fake.programEnd.endedWith);
        EXPECT_EQ(Stored(QString(c.lesson) + "000010"), c.stored);

        // Events of the stopped mode still on their way change nothing.
        reco().loseSource();
        EXPECT_FALSE(voice().failCurrent());
        EXPECT_EQ(fake.messages.shown.size(), 1u);

        // The sound back, the learner starts again.
        reco().regainSource();
        w.modes().CmdReadAll_Click();
        EXPECT_EQ(w.CurMode, 1);
        EXPECT_TRUE(voice().startNext());
        EXPECT_EQ(HighlightedRows(), 1);
        w.SetcmdStop(w.CurMode, 0);
        w.Unload();
    }
}

TEST_F(SoundLostTest, TheMicrophoneLostWhileNobodyListensTellsNothing) {
    frmExer& w = LoadLesson("030101");
    reco().loseSource(); // no mode
    w.modes().CmdReadAll_Click();
    ASSERT_TRUE(voice().startNext());
    reco().loseSource(); // read-all does not listen: its reading goes on
    EXPECT_EQ(w.CurMode, 1);
    EXPECT_TRUE(voice().endCurrent());
    EXPECT_TRUE(voice().startNext());
    EXPECT_TRUE(fake.messages.shown.empty());
}

// Lost while nobody listened and still gone when the learner starts a mode
// that listens at once (the monologue has no model to play first): the
// learner is told, not left waiting for a "Please Say" nothing can hear.
// Also when the rule was left active while no mode ran, as the settings
// window leaves it.
TEST_F(SoundLostTest, AModeThatListensWhileTheMicrophoneIsStillLostStopsAndTells) {
    for (const bool ruleLeftActive : {false, true}) {
        SCOPED_TRACE(ruleLeftActive ? "rule left active" : "rule inactive");
        frmExer& w = LoadLesson("010101");
        if (ruleLeftActive)
            program->vars.RecoGrammar->CmdSetRuleIdState(0, platform::ISpeechGrammar::SGDSActive);
        reco().loseSource();
        QApplication::processEvents();
        fake.messages.shown.clear();
        w.modes().cmdrecord_Click();
        QApplication::processEvents();
        EXPECT_EQ(Messages(), QStringList{kMicrophoneLost});
        EXPECT_EQ(w.CurMode, 0);
        EXPECT_FALSE(Listening());

        // Back again: the learner is heard.
        reco().regainSource();
        fake.messages.shown.clear();
        w.modes().cmdrecord_Click();
        QApplication::processEvents();
        EXPECT_TRUE(fake.messages.shown.empty());
        EXPECT_EQ(w.CurMode, 6);
        EXPECT_TRUE(Listening());
        EXPECT_TRUE(reco().hear("Hello"));
        EXPECT_EQ(Stored("010101000010"), "1/1");
        w.SetcmdStop(w.CurMode, 0);
        w.Unload();
    }
}

} // namespace
