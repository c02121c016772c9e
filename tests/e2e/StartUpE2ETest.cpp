// The installed trainer started as a learner starts it, on the real X server
// (RandR) and PulseAudio server of the test run.
#include "E2ESupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

using namespace e2e;

class StartUpE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const QString why = missingServices(Services::X); !why.isEmpty()) {
            if (servicesRequired())
                FAIL() << qPrintable(why);
            GTEST_SKIP() << qPrintable(why);
        }
        programDir = qEnvironmentVariable("VERBARO_PROGRAM_DIR");
        ASSERT_TRUE(QFile::exists(programDir + "/Verbaro.exe")) << qPrintable(programDir);
        // The control libraries registered as on a first start: the unit
        // menu's buttons are image buttons made by their ProgID.
        QProcess setup;
        setup.start(USERSETUP_PATH, {programDir});
        ASSERT_TRUE(setup.waitForFinished(60000));
        ASSERT_EQ(setup.exitCode(), 0) << setup.readAllStandardError().toStdString();
        setScreen("1280x1024");
        ASSERT_EQ(screenSize(), QSize(1280, 1024));
    }
    void TearDown() override {
        if (verbaro.state() != QProcess::NotRunning) {
            verbaro.kill();
            verbaro.waitForFinished(5000);
        }
        setScreen("1280x1024");
    }
    void start(const QString& folder, const QStringList& extraEnv = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& kv : extraEnv)
            env.insert(kv.section('=', 0, 0), kv.section('=', 1));
        env.remove("QT_QPA_PLATFORM");
        verbaro.setProcessEnvironment(env);
        verbaro.start(folder + "/Verbaro.exe", {});
        ASSERT_TRUE(verbaro.waitForStarted(10000));
    }
    // Copies the installed program folder, leaving out `skip` (relative path).
    QString copyOfProgram(const QTemporaryDir& into, const QString& skip) {
        run("cp", {"-a", programDir + "/.", into.path()});
        if (!skip.isEmpty())
            QFile::remove(into.path() + "/" + skip);
        return into.path();
    }

    // Answers the message box with its default button. The box may not take
    // keys in the first moments after it is mapped, so keep pressing until
    // the program has ended.
    bool answerAndWaitForEnd(const QString& box) {
        for (int i = 0; i < 30; ++i) {
            run("xdotool", {"key", "--window", box, "Return"});
            // When the box closes on the press, the release can be lost and
            // the key would stay down for the next program on this server.
            run("xdotool", {"keyup", "Return"});
            if (verbaro.waitForFinished(500))
                return true;
        }
        return false;
    }

    // What the program said, for a failure message.
    std::string programOutput() {
        return QString("state %1, exit %2: %3")
            .arg(int(verbaro.state()))
            .arg(verbaro.exitCode())
            .arg(QString::fromLocal8Bit(verbaro.readAllStandardError()))
            .toStdString();
    }

    QString programDir;
    QProcess verbaro;
};

TEST_F(StartUpE2ETest, ShowsTheUnitMenuAt1024x768) {
    start(programDir);
    // The unit menu replaces the splash window and fills the switched screen.
    QStringList windows;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 30000) {
        windows = waitForWindows("^Verbaro$", 1000);
        if (windows.size() == 1 && windowSize(windows[0]).contains("1024x768"))
            break;
        QThread::msleep(200);
    }
    ASSERT_EQ(windows.size(), 1) << "the splash window is gone once the menu is active";
    EXPECT_TRUE(windowSize(windows[0]).contains("1024x768")) << qPrintable(windowSize(windows[0]));
    EXPECT_EQ(screenSize(), QSize(1024, 768));
    EXPECT_EQ(verbaro.state(), QProcess::Running);

    // Ended by the session (SIGTERM): the screen comes back before it goes.
    verbaro.terminate();
    ASSERT_TRUE(verbaro.waitForFinished(15000)) << programOutput();
    EXPECT_EQ(verbaro.exitCode(), 128 + 15);
    EXPECT_EQ(screenSize(), QSize(1280, 1024));
}

TEST_F(StartUpE2ETest, WithoutSoundServerRestoresTheScreenAndEnds) {
    QTemporaryDir dir;
    start(programDir, {"PULSE_SERVER=unix:" + dir.path() + "/no-such-socket"});
    const QStringList box = waitForWindows("^提示$", 30000);
    ASSERT_FALSE(box.isEmpty()) << "the no-sound-card message; " << programOutput();
    EXPECT_EQ(screenSize(), QSize(1024, 768)) << "switched while the message shows";
    ASSERT_TRUE(answerAndWaitForEnd(box[0]));
    EXPECT_NE(verbaro.exitCode(), 0);
    EXPECT_EQ(screenSize(), QSize(1280, 1024));
}

TEST_F(StartUpE2ETest, MissingDatabaseEndsWithTheMessage) {
    QTemporaryDir dir;
    const QString folder = copyOfProgram(dir, "data/qvedbdemo.aaa");
    start(folder);
    const QStringList box = waitForWindows("^警告$", 30000);
    ASSERT_FALSE(box.isEmpty()) << "the database message; " << programOutput();
    ASSERT_TRUE(answerAndWaitForEnd(box[0]));
    EXPECT_NE(verbaro.exitCode(), 0);
    EXPECT_EQ(screenSize(), QSize(1280, 1024));
    EXPECT_FALSE(QFile::exists(folder + "/data/qvedbdemo.aaa"));
}

} // namespace
