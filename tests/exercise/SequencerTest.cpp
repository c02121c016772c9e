// Each practice mode run from its button to its end through the sequencer:
// the voice's stream events come from the fake voice, and each attempt of
// the learner is counted as the recognition handlers count it.
#include "ExerFixture.h"
#include "core/ImageButtons.h"
#include "core/ResPicture.h"
#include "exercise/ExerModel.h"
#include "exercise/ExerModes.h"
#include "exercise/ExerPlayback.h"
#include "exercise/ExerSequencer.h"
#include "exercise/frmExer.h"
#include "widgets/FlexGrid.h"
#include "widgets/PopupButton.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <functional>

namespace {

class SequencerTest : public ExerFixture {
protected:
    // "<Label1>|<highlighted rows>|<TargetText>", rows as 2R (being played)
    // or 3S (to be said).
    QString State() {
        frmExer& w = exer();
        QString rows;
        for (int r = 1; r < w.EGrid->Rows(); ++r) {
            const std::uint32_t c = w.EGrid->CellBackColorAt(r, 2);
            EXPECT_EQ(c, w.CGrid->CellBackColorAt(r, 2)) << "both grids carry the highlights";
            if (c == ReadingColour)
                rows += QString::number(r) + "R";
            else if (c == SayColour)
                rows += QString::number(r) + "S";
            else
                EXPECT_EQ(c, w.EGrid->BackColor()) << r;
        }
        return w.Label1->text() + "|" + rows + "|" + w.TargetText;
    }

    // An attempt of the learner, judged: counted as the recognition
    // handlers count it, then the sequencer.
    void Attempt() {
        frmExer& w = exer();
        ASSERT_TRUE(Listening()) << "the learner speaks only while the rule is active";
        grammar()->CmdSetRuleIdState(0, 0);
        ++w.TryCount;
        if (w.TryCount < w.RETRYNUMS) {
            w.SentenceDone = false;
        } else {
            w.SentenceDone = true;
            w.TryCount = 0;
        }
        w.sequencer().priVoice_EndStream(0, 0);
    }

    // Runs the mode to its end: whatever the voice has queued plays, and the
    // learner answers whenever it is the learner's turn. Returns the states
    // after the start and after each step ("start k", "end k", "try").
    QStringList Run(const std::function<void()>& press, int retries = 1) {
        frmExer& w = exer();
        w.RETRYNUMS = static_cast<std::int16_t>(retries);
        QStringList trace;
        QObject guard;
        QObject::connect(&voice(), &platform::IVoice::StartStream, &guard, [&](qint32 k, QVariant) {
            trace << "start " + QString::number(k) + ":" + State();
        });
        QObject::connect(&voice(), &platform::IVoice::EndStream, &guard, [&](qint32 k, QVariant) {
            trace << "end " + QString::number(k) + ":" + State();
        });
        press();
        trace << "press:" + State();
        for (int step = 0; step < 200 && w.CurMode != 0; ++step) {
            if (voice().startNext()) {
                voice().endCurrent();
            } else if (Listening()) {
                Attempt();
                trace << "try:" + State();
            } else {
                ADD_FAILURE() << "the mode waits for nothing";
                break;
            }
        }
        EXPECT_EQ(w.CurMode, 0);
        EXPECT_EQ(w.StreamMode, 0);
        EXPECT_FALSE(Listening());
        return trace;
    }

    QStringList Spoken() {
        QStringList names;
        for (const QString& path : voice().spoken)
            names << path.section('/', -1);
        return names;
    }

    bool Face(ImageButton* button, const char* name) {
        EXPECT_FALSE(LoadResPicture(name).isNull()) << name;
        return button->Picture().toImage() == LoadResPicture(name).toImage();
    }

    void Select(int row) { exer().EGrid->SetRow(row); }
};

TEST_F(SequencerTest, ReadAllNumbersItsStreamsAndScrollsBackToTheTop) {
    frmExer& w = LoadLesson("030101");
    const QStringList trace = Run([&] { w.modes().CmdReadAll_Click(); });
    EXPECT_EQ(trace, QStringList({
                         "press: Welcome!||",
                         "start 1: Reading|1R|",
                         "end 1: Reading||",
                         "start 2: Reading|2R|",
                         "end 2: Reading||",
                         "start 3: Reading|3R|",
                         "end 3: Welcome!||",
                     }));
    EXPECT_EQ(Spoken(), QStringList({"030101000012.wav", "030101000022.wav", "030101000032.wav"}));
    EXPECT_TRUE(Face(w.CmdReadAll, "readall-1"));
}

TEST_F(SequencerTest, ReadAllOfALongLessonScrollsAndReturnsToTheTop) {
    frmExer& w = LoadLesson("010104");
    int deepest = 1;
    QObject guard;
    QObject::connect(&voice(), &platform::IVoice::StartStream, &guard,
                     [&](qint32, QVariant) { deepest = std::max(deepest, w.EGrid->TopRow()); });
    Run([&] { w.modes().CmdReadAll_Click(); });
    EXPECT_GT(deepest, 1) << "the grids follow the reading";
    EXPECT_EQ(w.EGrid->TopRow(), 1);
    EXPECT_EQ(w.CGrid->TopRow(), 1);
    EXPECT_EQ(voice().spoken.size(), 12);
}

TEST_F(SequencerTest, SingleSentenceModes) {
    struct Case {
        const char* name;
        std::function<void(frmExer&)> press;
        QStringList trace;
        QStringList spoken;
        const char* face;
        std::function<ImageButton*(frmExer&)> button;
    };
    const Case cases[] = {
        {"read one",
         [](frmExer& w) { w.modes().CmdRead_Click(); },
         {"press: Welcome!||", "start 1: Reading|2R|", "end 1: Welcome!||"},
         {"030101000022.wav"},
         "read-1",
         [](frmExer& w) { return w.CmdRead; }},
        {"follow one",
         [](frmExer& w) { w.modes().CmdFollowOne_Click(); },
         {"press: Welcome!||Two", "start 1: Reading|2R|Two", "end 1:Please Say|2S|Two",
          "try: Welcome!||Two"},
         {"030101000022.wav"},
         "followone-1",
         [](frmExer& w) { return w.CmdFollowOne; }},
        {"scene one",
         [](frmExer& w) { w.modes().QingJing_Click(1); },
         {"press: Welcome!||Two", "start 1: Reading|2R|Two", "end 1:Please Say|2S|Two",
          "try: Welcome!||Two"},
         {"030101000020.wav"},
         "1-1-qingjing",
         [](frmExer& w) { return w.QingJing[1]; }},
        {"monologue one",
         [](frmExer& w) { w.modes().cmdrecordone_Click(); },
         {"press:Please Say|2S|Two", "try: Welcome!||Two"},
         {},
         "recordone-1",
         [](frmExer& w) { return w.cmdrecordone; }},
    };
    frmExer& w = LoadLesson("030101");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        voice().spoken.clear();
        Select(2);
        EXPECT_EQ(Run([&] { c.press(w); }), c.trace);
        EXPECT_EQ(Spoken(), c.spoken);
        EXPECT_TRUE(Face(c.button(w), c.face));
    }
}

TEST_F(SequencerTest, WholeTextModesWithOneAndThreeAttempts) {
    frmExer& w = LoadLesson("030101");
    const QStringList follow1 = {
        "press: Welcome!||One",  "start 1: Reading|1R|One",   "end 1:Please Say|1S|One",
        "try:Please Say||Two",   "start 1: Reading|2R|Two",   "end 1:Please Say|2S|Two",
        "try:Please Say||Three", "start 1: Reading|3R|Three", "end 1:Please Say|3S|Three",
        "try:Welcome!||Three",
    };
    EXPECT_EQ(Run([&] { w.modes().CmdFollow_Click(); }), follow1);
    EXPECT_EQ(Run([&] { w.modes().QingJing_Click(0); }), follow1);
    EXPECT_EQ(Spoken().mid(3),
              QStringList({"030101000010.wav", "030101000020.wav", "030101000030.wav"}))
        << "the scenario recordings";

    const QStringList follow3 = Run([&] { w.modes().CmdFollow_Click(); }, 3);
    EXPECT_EQ(follow3.size(), 1 + 3 * 5); // each sentence: start, end, three attempts
    EXPECT_EQ(follow3.mid(2, 5), QStringList({"end 1:Please Say|1S|One", "try:Please Say|1S|One",
                                              "try:Please Say|1S|One", "try:Please Say||Two",
                                              "start 1: Reading|2R|Two"}));
    EXPECT_EQ(follow3.last(), "try:Welcome!||Three");

    EXPECT_EQ(Run([&] { w.modes().cmdrecord_Click(); }),
              QStringList({"press:Please Say|1S|One", "try:Please Say|2S|Two",
                           "try:Please Say|3S|Three", "try: Welcome!||Three"}));
    EXPECT_TRUE(w.monolog);
    EXPECT_TRUE(w.Frame2->isEnabled());
    const QStringList monolog3 = Run([&] { w.modes().cmdrecord_Click(); }, 3);
    EXPECT_EQ(monolog3.size(), 1 + 9);
    EXPECT_EQ(monolog3[3], "try:Please Say|2S|Two");
    EXPECT_TRUE(Face(w.CmdFollow, "follow-1"));
    EXPECT_TRUE(Face(w.cmdrecord, "record-1"));
    EXPECT_TRUE(Face(w.QingJing[0], "0-1-qingjing"));
}

TEST_F(SequencerTest, Dialogues) {
    struct Case {
        const char* lesson;
        QList<int> roles; // role buttons the learner presses
        QStringList trace;
        QStringList spoken;
    };
    const Case cases[] = {
        // The computer answers each line; its last line follows the learner's.
        {"010101",
         {0},
         {"press:Please Say|1S|Hello", "try:Please Say||Hi there", "start 1: Reading|2R|Hi there",
          "end 1:Please Say|3S|How are you", "try:Please Say||Fine thanks",
          "start 1: Reading|4R|Fine thanks", "end 1: Welcome!||Fine thanks"},
         {"010101000022.wav", "010101000042.wav"}},
        // The learner plays every role: the computer never speaks.
        {"010101",
         {0, 1},
         {"press:Please Say|1S|Hello", "try:Please Say|2S|Hi there",
          "try:Please Say|3S|How are you", "try:Please Say|4S|Fine thanks",
          "try: Welcome!||Fine thanks"},
         {}},
        // Two computer lines end the dialogue: the last one is heard too.
        {"010102",
         {0},
         {"press:Please Say|1S|Good morning", "try:Please Say||Morning Tom",
          "start 1: Reading|2R|Morning Tom", "end 1: Reading||Morning Tom",
          "start 1: Reading|3R|Morning Tom", "end 1: Welcome!||Morning Tom"},
         {"010102000022.wav", "010102000032.wav"}},
        // Two computer lines open it; a line without speaker is the computer's.
        {"010103",
         {0},
         {"press: Welcome!||Come in", "start 1: Reading|1R|Come in", "end 1: Reading||Sit down",
          "start 1: Reading|2R|Sit down", "end 1:Please Say|3S|Thank you",
          "try:Please Say||A bell rings", "start 1: Reading|4R|A bell rings",
          "end 1:Please Say|5S|Goodbye", "try: Welcome!||Goodbye"},
         {"010103000012.wav", "010103000022.wav", "010103000042.wav"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lesson);
        frmExer& w = LoadLesson(c.lesson);
        for (int role : c.roles)
            w.model().chkobj_Press(role);
        EXPECT_EQ(Run([&] { w.modes().cmddialog_Press(); }), c.trace);
        EXPECT_EQ(Spoken(), c.spoken);
        EXPECT_EQ(w.cmddialog->Caption(), "对 话");
        EXPECT_TRUE(w.Frame2->isEnabled());
        EXPECT_TRUE(w.CmdRead->Enabled());
        EXPECT_TRUE(w.CmdFollow->Enabled());
        w.Unload();
        QApplication::processEvents();
    }
}

TEST_F(SequencerTest, DialogueWithThreeAttemptsAsksEachLineThreeTimes) {
    frmExer& w = LoadLesson("010101");
    w.model().chkobj_Press(1); // the learner is B
    const QStringList trace = Run([&] { w.modes().cmddialog_Press(); }, 3);
    EXPECT_EQ(trace.count("try:Please Say|2S|Hi there"), 2);
    EXPECT_EQ(trace.last(), "try: Welcome!||Fine thanks");
}

TEST_F(SequencerTest, LateEndOfAStoppedModeDoesNothing) {
    frmExer& w = LoadLesson("030101");
    w.modes().CmdFollow_Click();
    ASSERT_TRUE(voice().startNext());
    w.modes().CmdFollow_Click(); // stopped while the sentence plays
    EXPECT_EQ(voice().purges, 1);
    const QString stopped = State();
    emit voice().EndStream(1, 0); // the purged stream's end arrives late
    EXPECT_EQ(State(), stopped);
    EXPECT_EQ(w.Label1->text(), " Welcome!");
    EXPECT_FALSE(Listening());

    w.modes().CmdReadAll_Click();
    ASSERT_TRUE(voice().startNext());
    w.modes().cmdrecordone_Click(); // another mode takes over
    const QString monologue = State();
    emit voice().EndStream(1, 0); // the purged read-all stream's end
    EXPECT_EQ(State(), monologue);
    EXPECT_EQ(w.CurMode, 9);
}

} // namespace
