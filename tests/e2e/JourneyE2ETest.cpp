// A learner's whole journey, as the learner meets it: installing from the
// demo CD, starting the trainer from the launcher, following a lesson with
// two attempts per sentence spoken into the microphone, a dialogue in the
// next lesson, the practice log, the settings, and the way out back to the
// launcher. What the learner sees is read from the screen; what is stored is
// read from the lesson database afterwards.
#include "E2ESupport.h"
#include "TrainerSession.h"
#include "VirtualMicrophone.h"

#include <QColor>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cstdio>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace {

using namespace e2e;

struct Sentence {
    QString id;
    QString text; // what the recogniser must hear
    QString speaker;
};

// The lesson's sentences in the order the exercise window lists them.
QList<Sentence> sentencesOf(LessonDatabase& db, const QString& lesson) {
    QList<Sentence> list;
    const int n =
        static_cast<int>(db.number("select count(*) from TAB_Dlg where UnitID=?", {lesson}));
    for (int i = 0; i < n; ++i) {
        const QString id = db.value("select DlgID from TAB_Dlg where UnitID=? order by chengji, "
                                    "cishu desc, DlgNum limit 1 offset ?",
                                    {lesson, i})
                               .toString();
        list.append({id, db.value("select EDlgSB from TAB_Dlg where DlgID=?", {id}).toString(),
                     db.value("select DlgObj from TAB_Dlg where DlgID=?", {id}).toString()});
    }
    return list;
}

qlonglong windowPid(const QString& window) {
    return run("xdotool", {"getwindowpid", window}).trimmed().toLongLong();
}

bool processAlive(qlonglong pid) {
    return pid > 0 && QFile::exists(QString("/proc/%1").arg(pid));
}

class JourneyE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const QString why = missingServices(Services::XAndSound); !why.isEmpty()) {
            if (servicesRequired())
                FAIL() << qPrintable(why);
            GTEST_SKIP() << qPrintable(why);
        }
        setScreen("1280x1024");
        clock.start();
    }

    void TearDown() override {
        // The programs this test had started (through the installer and the
        // launcher), by their own process ids.
        for (qlonglong pid : started)
            if (processAlive(pid))
                ::kill(static_cast<pid_t>(pid), SIGKILL);
        run("xdotool", {"keyup", "Return"});
        run("xdotool", {"keyup", "Escape"});
        setScreen("1280x1024");
        std::printf("journey took %lld s\n", clock.elapsed() / 1000);
    }

    // The program window titled `title`, remembered for clean-up.
    QString waitForProgram(const QString& title, int ms) {
        const QStringList ids = waitForWindows(title, ms);
        if (ids.isEmpty())
            return {};
        started << windowPid(ids[0]);
        return ids[0];
    }

    // Presses Return on a message box until `answered` holds. (A window
    // made after the box closes may get the box's id again.)
    static bool answer(const QString& box, const std::function<bool()>& answered) {
        return waitFor(
            [&] {
                run("xdotool", {"key", "--window", box, "Return"});
                run("xdotool", {"keyup", "Return"});
                return answered();
            },
            15000, 500);
    }

    QElapsedTimer clock;
    QList<qlonglong> started;
};

// What one spoken attempt did, as stored.
struct Attempt {
    QString sentence;
    bool right; // the right sentence was said
    qlonglong points;
};

TEST_F(JourneyE2ETest, FromTheCdThroughTwoLessonsAndBackToTheLauncher) {
    const QString cd = qEnvironmentVariable("VERBARO_CD_DIR");
    ASSERT_TRUE(QFile::exists(cd + "/setup.exe")) << qPrintable(cd);
    VirtualMicrophone mic;
    ASSERT_TRUE(mic.isValid()) << qPrintable(mic.error());
    TrainerSession session;
    // Each step's screenshot, and when it came.
    auto step = [&](const QString& name) {
        std::printf("%6.1f s %s\n", clock.elapsed() / 1000.0, qPrintable(name));
        return session.shoot(name);
    };
    const QString target = session.homePath() + "/Verbaro";
    session.setProgramDir(target);
    // The launcher shows its intro movie once; this learner has seen it.
    const QString marker = session.homePath() + "/data/verbaro/drive_c/temptemp";
    QDir().mkpath(marker);
    QFile::copy(cd + "/games/zorvik.swf", marker + "/zorvik.swf");

    // Install: the installer says it is done and starts the launcher.
    QProcess setup;
    setup.setProcessEnvironment(session.environment());
    // The programs it starts in turn inherit these; a pipe to this test
    // would break under them.
    const QString setupLog = session.homePath() + "/programs.log";
    setup.setStandardOutputFile(setupLog, QIODevice::Append);
    setup.setStandardErrorFile(setupLog, QIODevice::Append);
    setup.start(cd + "/setup.exe", {target});
    ASSERT_TRUE(setup.waitForStarted(10000));
    const QStringList done = waitForWindows("^Verbaro V1.0 安装$", 60000);
    ASSERT_FALSE(done.isEmpty()) << "the installer's message";
    step("journey-01-installed");
    ASSERT_TRUE(answer(done[0], [&] { return setup.waitForFinished(200); }));
    EXPECT_EQ(setup.exitCode(), 0);
    ASSERT_TRUE(QFile::exists(target + "/Verbaro.exe"));
    ASSERT_TRUE(QFile::exists(target + "/start.exe"));

    // The launcher: run starts the trainer and the launcher ends at once.
    const QString launcher = waitForProgram("^Verbaro V1.0$", 30000);
    ASSERT_FALSE(launcher.isEmpty()) << "the installer starts the launcher";
    const qlonglong launcherPid = windowPid(launcher);
    const QRect launcherWindow = windowGeometry(launcher);
    step("journey-02-launcher");
    click(launcherWindow.topLeft() + QPoint(546, 77));
    EXPECT_TRUE(waitFor([&] { return !processAlive(launcherPid); }, 5000))
        << "the launcher ends as it starts the trainer";

    const QString menu = session.waitForUnitMenu();
    ASSERT_FALSE(menu.isEmpty()) << "the trainer starts with its unit menu";
    started << windowPid(menu);
    EXPECT_EQ(screenSize(), QSize(1024, 768));
    ASSERT_TRUE(session.waitForMerlinToPark());
    step("journey-03-menu");

    // Lesson 010101, two attempts per sentence (settings), whole-text following.
    LessonDatabase db(target);
    ASSERT_TRUE(db.isOpen()) << qPrintable(db.error());
    const QList<Sentence> first = sentencesOf(db, "010101");
    const QList<Sentence> second = sentencesOf(db, "010102");
    ASSERT_GE(first.size(), 2);
    QString exercise = session.openLesson(menu, TrainerSession::kFirstLessonRow);
    ASSERT_FALSE(exercise.isEmpty()) << "the exercise window";
    ASSERT_TRUE(session.waitForGrid(exercise));
    const QRect window = windowGeometry(exercise);
    const QPoint origin = window.topLeft();
    auto rest = [&] { moveMouse(origin + TrainerSession::kRestingPointer); };
    rest();
    const QImage totalBefore =
        TrainerSession::area(step("journey-04-lesson"), window, TrainerSession::kTotalLabel);

    auto openSettings = [&] {
        click(origin + TrainerSession::kSettingsButton.center());
        return waitForProgram("^设置$", 10000);
    };
    auto closeSettings = [&](const QString& settings) {
        click(windowGeometry(settings).topLeft() + QPoint(390, 300));
        return waitFor([&] { return windowGeometry(settings).isEmpty(); }, 10000);
    };
    {
        const QString settings = openSettings();
        ASSERT_FALSE(settings.isEmpty()) << "the settings window";
        const QPoint at = windowGeometry(settings).topLeft();
        click(at + QPoint(149, 253)); // attempts up: 2
        click(at + QPoint(204, 175)); // the fast recordings
        step("journey-05-settings");
        ASSERT_TRUE(closeSettings(settings));
    }
    rest();

    const QString today = QDate::currentDate().toString(Qt::ISODate);
    auto count = [&](const QString& lesson) {
        return db.number("select ifnull(cishu,0) from TAB_Unit where UnitID=?", {lesson});
    };
    auto score = [&](const QString& lesson) {
        return db.number("select ifnull(chengji,0) from TAB_Unit where UnitID=?", {lesson});
    };
    auto scoreOf = [&](const QString& id) {
        return db.number("select ifnull(chengji,0) from TAB_Dlg where DlgID=?", {id});
    };
    const qlonglong countBefore = count("010101") + count("010102");
    const qlonglong dayCountBefore =
        db.number("select ifnull(sum(NowCishu),0) from TAB_Box where NowData=?", {today});
    const qlonglong dayScoreBefore =
        db.number("select ifnull(sum(NowChengji),0) from TAB_Box where NowData=?", {today});
    const qlonglong scoreBefore = score("010101") + score("010102");

    QImage pleaseSay; // the status line while the learner must speak
    QList<Attempt> attempts;
    QList<QImage> rightLabels;
    QList<QImage> wrongLabels;
    // The learner's turn: a row in the colour that asks for speech and the
    // status line asking for it. Returns the screen at that moment.
    auto waitForTurn = [&](std::optional<TrainerSession::Band>* band) {
        QImage shot;
        const bool turn = waitFor(
            [&] {
                shot = screenshot();
                *band = TrainerSession::highlighted(shot, window, TrainerSession::kSayColour);
                if (!*band)
                    return false;
                if (pleaseSay.isNull()) { // the first turn: the label settles first
                    QThread::msleep(300);
                    shot = screenshot();
                    pleaseSay = TrainerSession::area(shot, window, TrainerSession::kStatusLabel);
                    return true;
                }
                return TrainerSession::area(shot, window, TrainerSession::kStatusLabel) ==
                       pleaseSay;
            },
            60000, 100);
        return turn ? shot : QImage();
    };
    // Says `what` for `sentence` and waits for the stored attempt; returns
    // the screen as the attempt is answered.
    auto attempt = [&](const QString& lesson, const Sentence& sentence,
                       const QString& what) -> QImage {
        const qlonglong before = count(lesson);
        const qlonglong pointsBefore = scoreOf(sentence.id);
        // Said again only when nothing at all was heard (no event).
        for (int tries = 0; tries < 2 && count(lesson) == before; ++tries) {
            const int ms = mic.say(what);
            if (ms < 0)
                return {};
            waitFor([&] { return count(lesson) > before; }, ms + 12000, 100);
        }
        if (count(lesson) != before + 1)
            return {};
        // The row is stored before the window repaints its status line: the
        // answer is the first status line that no longer asks for speech
        // (it stays a second before the exercise goes on).
        QImage shot;
        waitFor(
            [&] {
                shot = screenshot();
                return TrainerSession::area(shot, window, TrainerSession::kStatusLabel) !=
                       pleaseSay;
            },
            3000, 20);
        const qlonglong points = scoreOf(sentence.id) - pointsBefore;
        attempts.append({sentence.id, what == sentence.text, points});
        (points > 0 ? rightLabels : wrongLabels)
            << TrainerSession::area(shot, window, TrainerSession::kStatusLabel);
        return shot;
    };

    click(origin + TrainerSession::kFollowButton.center());
    rest();
    int rowsShowingCounts = 0;
    for (int i = 0; i < first.size(); ++i) {
        std::optional<TrainerSession::Band> band;
        const QImage turn = waitForTurn(&band);
        ASSERT_FALSE(turn.isNull()) << "the turn on sentence " << i + 1;
        const QImage cellsBefore = TrainerSession::numberCells(turn, window, *band);
        ASSERT_FALSE(attempt("010101", first[i], first[i].text).isNull())
            << "first attempt on sentence " << i + 1;
        if (i == 0)
            step("journey-06-following");
        ASSERT_FALSE(waitForTurn(&band).isNull()) << "the second turn on sentence " << i + 1;
        const Sentence& other = first[(i + 1) % first.size()];
        const QImage answered = attempt("010101", first[i], other.text);
        ASSERT_FALSE(answered.isNull()) << "second attempt on sentence " << i + 1;
        rowsShowingCounts += TrainerSession::numberCells(answered, window, *band) != cellsBefore;
    }
    // After the last sentence's attempts the mode ends: no row is highlighted.
    EXPECT_TRUE(waitFor(
        [&] {
            const QImage shot = screenshot();
            return !TrainerSession::highlighted(shot, window, TrainerSession::kSayColour) &&
                   !TrainerSession::highlighted(shot, window, TrainerSession::kReadingColour);
        },
        20000, 300));
    const QImage followed = step("journey-07-followed");
    if (score("010101") > 0) {
        EXPECT_NE(TrainerSession::area(followed, window, TrainerSession::kTotalLabel), totalBefore)
            << "the lesson total shows the points";
    }

    // Step to 010102; the dialogue with the first role.
    const QImage gridBefore =
        TrainerSession::area(screenshot(), window, TrainerSession::kSentenceGrid);
    click(origin + TrainerSession::kNextLessonButton.center());
    rest();
    EXPECT_TRUE(waitFor(
        [&] {
            const QImage grid =
                TrainerSession::area(screenshot(), window, TrainerSession::kSentenceGrid);
            return !grid.isNull() && grid != gridBefore;
        },
        30000, 300))
        << "the next lesson's sentences";
    QThread::msleep(1000); // the stepping notice closes
    step("journey-08-next-lesson");
    ASSERT_GE(second.size(), 2);
    const QString role = second[0].speaker;
    click(origin + TrainerSession::kFirstRoleButton.center());
    click(origin + TrainerSession::kDialogueButton);
    rest();
    for (const Sentence& s : second) {
        if (s.speaker != role)
            continue;
        for (int k = 0; k < 2; ++k) {
            std::optional<TrainerSession::Band> band;
            ASSERT_FALSE(waitForTurn(&band).isNull()) << "the turn on " << qPrintable(s.text);
            ASSERT_FALSE(attempt("010102", s, s.text).isNull())
                << "dialogue line " << qPrintable(s.text);
        }
    }
    EXPECT_TRUE(waitFor(
        [&] {
            const QImage shot = screenshot();
            return !TrainerSession::highlighted(shot, window, TrainerSession::kSayColour) &&
                   !TrainerSession::highlighted(shot, window, TrainerSession::kReadingColour);
        },
        60000, 300))
        << "the dialogue ends";
    step("journey-09-dialogue");

    // What is stored equals the sum of the attempts made.
    qlonglong points = 0;
    for (const Attempt& a : attempts)
        points += a.points;
    const int made = static_cast<int>(attempts.size());
    EXPECT_EQ(count("010101") + count("010102") - countBefore, made);
    EXPECT_EQ(score("010101") + score("010102") - scoreBefore, points);
    EXPECT_EQ(db.number("select ifnull(sum(NowCishu),0) from TAB_Box where NowData=?", {today}) -
                  dayCountBefore,
              made);
    EXPECT_EQ(db.number("select ifnull(sum(NowChengji),0) from TAB_Box where NowData=?", {today}) -
                  dayScoreBefore,
              points);
    for (const QString& lesson : {QString("010101"), QString("010102")}) {
        EXPECT_EQ(count(lesson), db.number("select sum(ifnull(cishu,0)) from TAB_Dlg where "
                                           "UnitID=?",
                                           {lesson}))
            << "the lesson is the sum of its sentences";
        EXPECT_EQ(score(lesson), db.number("select sum(ifnull(chengji,0)) from TAB_Dlg where "
                                           "UnitID=?",
                                           {lesson}));
    }
    EXPECT_EQ(count("010100"), count("010101") + count("010102") +
                                   db.number("select ifnull(sum(cishu),0) from TAB_Unit where "
                                             "UnitID like '0101%' and UnitID not in "
                                             "('010100','010101','010102')"));
    int rightSaid = 0;
    int rightPassed = 0;
    int otherPassed = 0;
    for (const Attempt& a : attempts) {
        rightSaid += a.right;
        rightPassed += a.right && a.points > 0;
        otherPassed += !a.right && a.points > 0;
    }
    EXPECT_GE(rightPassed * 10, rightSaid * 8) << "right readings mostly pass";
    EXPECT_LE(otherPassed * 10, (made - rightSaid) * 2) << "another sentence mostly fails";
    // The status line shows the same text for every right answer (1分) and
    // another for every wrong one (0分).
    for (const QImage& label : rightLabels)
        EXPECT_EQ(label, rightLabels.first());
    for (const QImage& label : wrongLabels)
        EXPECT_EQ(label, wrongLabels.first());
    if (!rightLabels.isEmpty() && !wrongLabels.isEmpty()) {
        EXPECT_NE(rightLabels.first(), wrongLabels.first());
    }
    EXPECT_EQ(rowsShowingCounts, first.size()) << "every row's cells show its new counts";
    std::printf("attempts %d: right said %d passed %d, other passed %d\n", made, rightSaid,
                rightPassed, otherPassed);

    // Back to the menu; the practice log.
    click(origin + TrainerSession::kReturnButton.center());
    ASSERT_TRUE(waitFor([&] { return windowGeometry(exercise).isEmpty(); }, 20000));
    step("journey-10-menu-again");
    click(windowGeometry(menu).topLeft() + TrainerSession::kLogButton.center());
    const QString log = waitForProgram("^统计窗口$", 20000);
    ASSERT_FALSE(log.isEmpty()) << "the practice log";
    QThread::msleep(500);
    const QImage logShot = step("journey-11-log");
    // The overall index, in its dark red digits: the day's points per attempt.
    const QImage index =
        TrainerSession::area(logShot, windowGeometry(log), QRect(146, 452, 160, 48));
    int red = 0;
    for (int y = 0; y < index.height(); ++y)
        for (int x = 0; x < index.width(); ++x) {
            const QColor c = index.pixelColor(x, y);
            red += c.red() > 140 && c.green() < 80 && c.blue() < 80;
        }
    EXPECT_GT(red, 20) << "the log shows its index";
    const qlonglong allPoints = db.number("select ifnull(sum(NowChengji),0) from TAB_Box");
    const qlonglong allAttempts = db.number("select ifnull(sum(NowCishu),0) from TAB_Box");
    std::printf("the log's index: %lld points over %lld attempts\n", allPoints, allAttempts);
    run("xdotool", {"key", "--window", log, "Escape"});
    // The window closes on the press; its release would be lost and the
    // key would stay down, cancelling every later message box.
    run("xdotool", {"keyup", "Escape"});
    if (!waitFor([&] { return windowGeometry(log).isEmpty(); }, 3000))
        run("xdotool", {"windowclose", log});
    ASSERT_TRUE(waitFor([&] { return windowGeometry(log).isEmpty(); }, 10000));

    // The settings: another character and sound set.
    ASSERT_TRUE(session.waitForMerlinToPark());
    exercise = session.openLesson(menu, TrainerSession::kFirstLessonRow);
    ASSERT_FALSE(exercise.isEmpty());
    ASSERT_TRUE(session.waitForGrid(exercise));
    {
        const QString settings = openSettings();
        ASSERT_FALSE(settings.isEmpty());
        const QPoint at = windowGeometry(settings).topLeft();
        click(at + QPoint(54, 93));  // Peedy
        click(at + QPoint(204, 67)); // 音乐打分
        step("journey-12-settings");
        ASSERT_TRUE(closeSettings(settings));
    }
    EXPECT_FALSE(waitForWindows("^Peedy$", 20000).isEmpty()) << "Peedy comes";
    step("journey-13-peedy");

    // Exit: the launcher comes back and the display is as it was.
    click(origin + TrainerSession::kExitButton.center());
    const QStringList ask = waitForWindows("^提示$", 10000);
    ASSERT_FALSE(ask.isEmpty());
    const qlonglong trainerPid = windowPid(menu);
    ASSERT_TRUE(answer(ask[0], [&] {
        return waitFor([&] { return !processAlive(trainerPid); }, 500);
    })) << "the trainer ends";
    const QString back = waitForProgram("^Verbaro V1.0$", 30000);
    EXPECT_FALSE(back.isEmpty()) << "\"start.exe\" started";
    EXPECT_EQ(screenSize(), QSize(1280, 1024)) << "the display restored";
    step("journey-14-launcher-again");
}

} // namespace
