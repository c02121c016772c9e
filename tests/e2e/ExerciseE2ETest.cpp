// A learner's first lesson in the installed trainer: the lesson opened from
// the unit menu with the mouse, read aloud from start to end through the
// sound server, watched on the screen.
#include "E2ESupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace e2e;

// Where things are in the windows, in pixels of the 1024 x 768 screen the
// program switches to.
const QPoint kFirstLessonRow(200, 232); // unit menu: row 3, lesson 010101
const QRect kSentenceGrid(30, 130, 740, 440);
const QRect kReadAllButton(800, 130, 81, 28);
const QPoint kRestingPointer(600, 740); // over nothing that reacts to it
const QRgb kReadingColour = qRgb(0, 255, 255);

// The top of the highlighted row of the sentence grid, relative to the
// window; nothing when no row is highlighted.
std::optional<int> highlightedRowTop(const QImage& shot, const QRect& window) {
    const QRect grid = kSentenceGrid.translated(window.topLeft());
    for (int y = grid.top(); y <= grid.bottom() && y < shot.height(); ++y) {
        int coloured = 0;
        for (int x = grid.left(); x <= grid.right() && x < shot.width(); ++x)
            coloured += shot.pixel(x, y) == kReadingColour;
        if (coloured > grid.width() / 4)
            return y - window.top();
    }
    return std::nullopt;
}

bool soundIsPlaying() {
    return !run("pactl", {"list", "short", "sink-inputs"}).trimmed().isEmpty();
}

class ExerciseE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const QString why = missingServices(Services::XAndSound); !why.isEmpty()) {
            if (servicesRequired())
                FAIL() << qPrintable(why);
            GTEST_SKIP() << qPrintable(why);
        }
        ASSERT_TRUE(home.isValid() && program.isValid());
        const QString installed = qEnvironmentVariable("VERBARO_PROGRAM_DIR");
        ASSERT_TRUE(QFile::exists(installed + "/Verbaro.exe")) << qPrintable(installed);
        // A copy, so that the practice this test records stays out of the
        // build's demo installation.
        run("cp", {"-a", installed + "/.", program.path()});
        shots = qEnvironmentVariable("VERBARO_E2E_SHOTS", QDir::tempPath());
        QDir().mkpath(shots);

        // The learner's own registry and data, set up as on a first start.
        env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", home.path() + "/data");
        env.insert("XDG_CONFIG_HOME", home.path() + "/config");
        env.remove("QT_QPA_PLATFORM");
        QProcess setup;
        setup.setProcessEnvironment(env);
        setup.start(USERSETUP_PATH, {program.path()});
        ASSERT_TRUE(setup.waitForFinished(60000));
        ASSERT_EQ(setup.exitCode(), 0) << setup.readAllStandardError().toStdString();

        setScreen("1280x1024");
    }

    void TearDown() override {
        if (verbaro.state() != QProcess::NotRunning) {
            verbaro.kill();
            verbaro.waitForFinished(5000);
        }
        run("xdotool", {"keyup", "Return"});
        setScreen("1280x1024");
    }

    std::string programOutput() {
        return QString("state %1, exit %2: %3")
            .arg(int(verbaro.state()))
            .arg(verbaro.exitCode())
            .arg(QString::fromLocal8Bit(verbaro.readAllStandardError()))
            .toStdString();
    }

    // The unit menu: one window, filling the switched screen.
    QString waitForUnitMenu() {
        QString menu;
        waitFor(
            [&] {
                const QStringList ids = waitForWindows("^Verbaro$", 1000);
                if (ids.size() == 1 && windowGeometry(ids[0]).size() == QSize(1024, 768))
                    menu = ids[0];
                return !menu.isEmpty() || verbaro.state() == QProcess::NotRunning;
            },
            60000, 200);
        return menu;
    }

    // Merlin appears at the top right and glides to his place; lessons open
    // from then on. Parked: the same place over a second.
    bool waitForMerlinToPark() {
        const QStringList merlin = waitForWindows("^Merlin$", 30000);
        if (merlin.isEmpty())
            return false;
        QList<QPoint> places;
        return waitFor(
            [&] {
                places << windowGeometry(merlin[0]).topLeft();
                const qsizetype n = places.size();
                return n >= 4 && places[n - 1] == places[n - 2] && places[n - 2] == places[n - 3] &&
                       places[n - 3] == places[n - 4];
            },
            60000, 300);
    }

    QString openFirstLesson(const QString& menu) {
        return openLessonFromMenu(menu, kFirstLessonRow, verbaro);
    }

    QTemporaryDir home;
    QTemporaryDir program;
    QString shots;
    QProcessEnvironment env;
    QProcess verbaro;
};

TEST_F(ExerciseE2ETest, OpensTheFirstLessonAndReadsItAloudToTheEnd) {
    verbaro.setProcessEnvironment(env);
    verbaro.start(program.path() + "/Verbaro.exe", {});
    ASSERT_TRUE(verbaro.waitForStarted(10000));

    const QString menu = waitForUnitMenu();
    ASSERT_FALSE(menu.isEmpty()) << "the unit menu; " << programOutput();
    ASSERT_TRUE(waitForMerlinToPark()) << "Merlin comes to greet";
    screenshot().save(shots + "/unit-menu.png");

    const QString exercise = openFirstLesson(menu);
    ASSERT_FALSE(exercise.isEmpty()) << "the exercise window; " << programOutput();
    const QRect window = windowGeometry(exercise);
    EXPECT_EQ(window.size(), QSize(1024, 768));
    EXPECT_EQ(run("xdotool", {"getwindowname", exercise}).trimmed(), "Verbaro");

    // The window once painted: the sentence grid holds the lesson's text.
    QImage before;
    ASSERT_TRUE(waitFor(
        [&] {
            before = screenshot();
            const QImage grid = before.copy(kSentenceGrid.translated(window.topLeft()));
            return !grid.isNull() && grid.convertToFormat(QImage::Format_Mono) !=
                                         QImage(grid.size(), QImage::Format_Mono);
        },
        20000, 200));
    moveMouse(window.topLeft() + kRestingPointer);
    ASSERT_TRUE(waitFor([&] { return !(before = screenshot()).isNull(); }, 5000));
    before.save(shots + "/exercise-opened.png");
    const QRect button = kReadAllButton.translated(window.topLeft());
    const QImage idleButton = before.copy(button);
    EXPECT_FALSE(highlightedRowTop(before, window)) << "nothing is read yet";

    // Read all: every sentence in turn, highlighted while it is heard.
    click(button.center());
    moveMouse(window.topLeft() + kRestingPointer);
    QList<int> rowTops; // each highlighted row as it comes
    bool heard = false;
    bool savedReading = false;
    QImage last;
    const bool ended = waitFor(
        [&] {
            heard = heard || soundIsPlaying();
            last = screenshot();
            if (last.isNull())
                return false;
            const std::optional<int> top = highlightedRowTop(last, window);
            if (top && (rowTops.isEmpty() || rowTops.last() != *top)) {
                rowTops << *top;
                if (rowTops.size() == 2 && !savedReading)
                    savedReading = last.save(shots + "/exercise-reading.png");
            }
            // The end: no row highlighted and the button back to its own face.
            return !rowTops.isEmpty() && !top && last.copy(button) == idleButton;
        },
        180000, 150);
    last.save(shots + "/exercise-end.png");
    ASSERT_TRUE(ended) << "read-all ends; rows seen at " << rowTops.size() << "; "
                       << programOutput();
    EXPECT_TRUE(heard) << "the recordings play through the sound server";
    EXPECT_TRUE(savedReading);

    // Rows follow each other down the grid; the grid scrolls back up when
    // the next sentence is below its last visible row.
    ASSERT_GE(rowTops.size(), 3);
    EXPECT_LT(rowTops.first(), kSentenceGrid.top() + 80) << "the first sentence first";
    int scrolls = 0;
    for (int i = 1; i < rowTops.size(); ++i)
        scrolls += rowTops[i] < rowTops[i - 1];
    EXPECT_LE(scrolls, 2) << "rows come down the grid in turn";
    EXPECT_EQ(verbaro.state(), QProcess::Running) << programOutput();
}

} // namespace
