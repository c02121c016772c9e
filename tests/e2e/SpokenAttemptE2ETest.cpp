// One spoken attempt in the installed trainer: the learner follows lesson
// 010101, says the first sentence into the microphone, and sees the score
// label, the sentence's grid cells and the lesson total change; the lesson
// database holds the attempt afterwards.
#include "E2ESupport.h"
#include "TrainerSession.h"
#include "VirtualMicrophone.h"

#include <QDate>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

using namespace e2e;

struct Totals {
    qlonglong count = 0;
    qlonglong score = 0;
};

// Practice count and score of one row, Null read as 0.
Totals totalsOf(LessonDatabase& db, const QString& table, const QString& key,
                const QString& value) {
    const QString sql = QString("select ifnull(sum(cishu),0) from %1 where %2=?").arg(table, key);
    return {db.number(sql, {value}), db.number(QString(sql).replace("cishu", "chengji"), {value})};
}

class SpokenAttemptE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const QString why = missingServices(Services::XAndSound); !why.isEmpty()) {
            if (servicesRequired())
                FAIL() << qPrintable(why);
            GTEST_SKIP() << qPrintable(why);
        }
        setScreen("1280x1024");
    }
    void TearDown() override { setScreen("1280x1024"); }
};

TEST_F(SpokenAttemptE2ETest, FollowingTheFirstSentenceScoresWhatWasSaid) {
    VirtualMicrophone mic;
    ASSERT_TRUE(mic.isValid()) << qPrintable(mic.error());
    TrainerSession session;
    QString error;
    ASSERT_TRUE(session.installCopyOf(qEnvironmentVariable("VERBARO_PROGRAM_DIR"), &error))
        << qPrintable(error);

    QString sentence;
    QString sentenceId;
    {
        LessonDatabase db(session.programDir());
        ASSERT_TRUE(db.isOpen()) << qPrintable(db.error());
        sentenceId = db.value("select DlgID from TAB_Dlg where UnitID='010101' order by "
                              "ifnull(chengji,0), ifnull(cishu,0) desc, DlgNum")
                         .toString();
        sentence = db.value("select EDlgSB from TAB_Dlg where DlgID=?", {sentenceId}).toString();
    }
    ASSERT_FALSE(sentence.isEmpty());

    ASSERT_TRUE(session.start());
    const QString menu = session.waitForUnitMenu();
    ASSERT_FALSE(menu.isEmpty()) << "the unit menu; " << session.trainerOutput();
    ASSERT_TRUE(session.waitForMerlinToPark());
    const QString exercise = session.openLesson(menu, TrainerSession::kFirstLessonRow);
    ASSERT_FALSE(exercise.isEmpty()) << "the exercise window; " << session.trainerOutput();
    ASSERT_TRUE(session.waitForGrid(exercise));
    const QRect window = windowGeometry(exercise);
    moveMouse(window.topLeft() + TrainerSession::kRestingPointer);

    LessonDatabase db(session.programDir());
    ASSERT_TRUE(db.isOpen()) << qPrintable(db.error());
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    auto everyTotal = [&] {
        return QList<Totals>{totalsOf(db, "TAB_Dlg", "DlgID", sentenceId),
                             totalsOf(db, "TAB_Unit", "UnitID", "010101"),
                             totalsOf(db, "TAB_Unit", "UnitID", "010100"),
                             totalsOf(db, "TAB_Unit", "UnitID", "010000"),
                             {db.number("select ifnull(sum(NowCishu),0) from TAB_Box where "
                                        "NowData=?",
                                        {today}),
                              db.number("select ifnull(sum(NowChengji),0) from TAB_Box where "
                                        "NowData=?",
                                        {today})}};
    };
    const QList<Totals> before = everyTotal();
    const QImage opened = session.shoot("attempt-opened");
    const QImage totalBefore = TrainerSession::area(opened, window, TrainerSession::kTotalLabel);

    // Whole-text following: the model sentence, then the learner's turn.
    click(window.topLeft() + TrainerSession::kFollowButton.center());
    moveMouse(window.topLeft() + TrainerSession::kRestingPointer);
    std::optional<TrainerSession::Band> turn;
    QImage shot;
    ASSERT_TRUE(waitFor(
        [&] {
            shot = screenshot();
            turn = TrainerSession::highlighted(shot, window, TrainerSession::kSayColour);
            return turn.has_value();
        },
        30000, 150))
        << "the learner's turn comes; " << session.trainerOutput();
    session.shoot("attempt-please-say");
    const QImage pleaseSay = TrainerSession::area(shot, window, TrainerSession::kStatusLabel);
    const QImage cellsBefore = TrainerSession::numberCells(shot, window, *turn);

    ASSERT_GT(mic.say(sentence), 0);
    ASSERT_TRUE(waitFor([&] { return everyTotal()[0].count > before[0].count; }, 30000, 100))
        << "the attempt is stored; " << session.trainerOutput();
    // The status line tells the points while the character answers.
    const QImage answered = session.shoot("attempt-answered");
    EXPECT_NE(TrainerSession::area(answered, window, TrainerSession::kStatusLabel), pleaseSay);
    QImage after;
    EXPECT_TRUE(waitFor(
        [&] {
            after = screenshot();
            return TrainerSession::numberCells(after, window, *turn) != cellsBefore;
        },
        10000, 200))
        << "the sentence's practice count shows in its row";

    const QList<Totals> now = everyTotal();
    const qlonglong points = now[0].score - before[0].score;
    // Right or not as the recogniser heard it; every row agrees on the points.
    EXPECT_TRUE(points == 0 || points == 1) << points;
    std::printf("the attempt earned %lld point(s)\n", points);
    for (int i = 0; i < now.size(); ++i) {
        EXPECT_EQ(now[i].count, before[i].count + 1) << "row " << i;
        EXPECT_EQ(now[i].score, before[i].score + points) << "row " << i;
    }
    if (points > 0) {
        EXPECT_TRUE(waitFor(
            [&] {
                return TrainerSession::area(screenshot(), window, TrainerSession::kTotalLabel) !=
                       totalBefore;
            },
            10000, 200))
            << "the lesson total shows the point";
    }

    // Stop following; the attempt stays stored.
    click(window.topLeft() + TrainerSession::kFollowButton.center());
    session.shoot("attempt-stopped");
    EXPECT_EQ(session.trainer().state(), QProcess::Running) << session.trainerOutput();
}

} // namespace
