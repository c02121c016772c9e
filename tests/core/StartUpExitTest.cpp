// However the main program ends, the learner's screen is back in the mode it
// had when the program started.
#include "FakePlatform.h"
#include "GlyphonForTests.h"
#include "LessonDbFixture.h"
#include "PlatformError.h"
#include "core/FrmMain.h"
#include "core/Program.h"
#include "core/Setxianshi.h"
#include "core/Start.h"
#include "core/StartUpGuard.h"
#include "core/StartUpSignals.h"
#include "windows/frmUnit.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <stdexcept>

namespace {

// A screen of 1280 x 1024 at 75 Hz, which lists 1024 x 768 too.
struct ScreenAt75 : FakePlatformWithGlyphon {
    ScreenAt75() {
        display.frequency = 75;
        display.modes = {{0, 32, 1280, 1024, 60}, {0, 32, 1280, 1024, 75}, {0, 32, 1024, 768, 60}};
    }
    bool atStartMode() const {
        return display.width == 1280 && display.height == 1024 && display.frequency == 75;
    }
};

// The same screen, served by a display of the test's own that fails somewhere.
template <class Display> struct ScreenAt75With : ScreenAt75 {
    ScreenAt75With() {
        failing.frequency = 75;
        failing.modes = display.modes;
        platform.display = &failing;
    }
    Display failing;
};

// Runs the whole program until it asks to end; `atMenu` runs once the unit
// menu is up.
int runUntilEnded(Program& program, FakePlatform& fake, const QString& folder,
                  const std::function<void()>& atMenu = {}) {
    QTimer poll;
    bool acted = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (fake.programEnd.endedWith) {
            QCoreApplication::exit(*fake.programEnd.endedWith);
        } else if (atMenu && !acted && program.forms.isLoaded<frmUnit>()) {
            acted = true;
            atMenu();
        }
    });
    poll.start(5);
    const int status = RunProgram(program, folder);
    program.forms.unload<frmUnit>();
    program.forms.unload<FrmMain>();
    QApplication::processEvents();
    return status;
}

TEST(StartUpExit, GuardRestoresOnlyASwitchedScreen) {
    struct Case {
        const char* what;
        std::function<void(Program&)> run;
        std::size_t changes; // display changes in all
    } cases[] = {
        {"never loaded", [](Program&) {}, 0},
        {"switched, then an error unwinds the run",
         [](Program& p) {
             p.forms.get<FrmMain>().Form_Load();
             p.forms.get<FrmMain>().Timer1->stop();
         },
         2},
        {"restored already by an exit button",
         [](Program& p) {
             p.forms.get<FrmMain>().Form_Load();
             p.forms.get<FrmMain>().Timer1->stop();
             RestoreDisplayMode(p);
         },
         2},
    };
    for (const Case& c : cases) {
        ScreenAt75 f;
        Program p(f.platform);
        EXPECT_THROW(
            {
                StartUpGuard guard(p);
                c.run(p);
                throw std::runtime_error("unexpected");
            },
            std::runtime_error);
        EXPECT_EQ(f.display.changes.size(), c.changes) << c.what;
        EXPECT_TRUE(f.atStartMode()) << c.what;
        p.forms.unload<FrmMain>();
    }

    // A refused switch leaves nothing to restore.
    ScreenAt75 f;
    f.display.resultForListed = platform::DispChange::Failed;
    Program p(f.platform);
    {
        StartUpGuard guard(p);
        p.forms.get<FrmMain>().Form_Load();
        p.forms.get<FrmMain>().Timer1->stop();
    }
    EXPECT_EQ(f.display.changes.size(), 1u);
    p.forms.unload<FrmMain>();
}

TEST(StartUpExit, SignalsAreHandledFromTheEventLoop) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        QList<int> received;
        {
            StartUpSignals caught([&received](int s) { received << s; });
            ASSERT_EQ(std::raise(signal), 0);
            EXPECT_TRUE(received.isEmpty()) << "not inside the signal handler";
            EXPECT_TRUE(QTest::qWaitFor([&] { return !received.isEmpty(); }, 10000));
        }
        EXPECT_EQ(received, QList<int>{signal});
    }
}

// Each way the run can end, with the screen switched to 1024 x 768 before.
TEST(StartUpExit, EveryWayOutRestoresTheScreen) {
    struct Case {
        const char* what;
        bool database;
        std::function<void(FakePlatform&)> atMenu;
        std::optional<int> status;
        const char* message;
    } cases[] = {
        {"the database cannot be opened",
         false,
         {},
         std::nullopt,
         "无法连接数据！请安装 Mdac_typ2.5"},
        {"SIGTERM", true, [](FakePlatform&) { std::raise(SIGTERM); }, 128 + SIGTERM, nullptr},
        {"SIGINT", true, [](FakePlatform&) { std::raise(SIGINT); }, 128 + SIGINT, nullptr},
        {"SIGHUP", true, [](FakePlatform&) { std::raise(SIGHUP); }, 128 + SIGHUP, nullptr},
        {"the error report", true,
         [](FakePlatform& f) { f.platform.programEnd->reportRuntimeError("broken"); }, 1, nullptr},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        if (c.database)
            LessonDbFixture::write(folder.path());
        ScreenAt75 f;
        Program p(f.platform);
        const int status = runUntilEnded(p, f, folder.path(), [&] {
            if (c.atMenu)
                c.atMenu(f);
        });
        EXPECT_EQ(f.display.changes.front().first.pelsWidth, 1024u) << c.what;
        EXPECT_TRUE(f.atStartMode()) << c.what << ": " << f.display.width << "x" << f.display.height
                                     << " at " << f.display.frequency;
        if (c.status) {
            EXPECT_EQ(status, *c.status) << c.what;
        }
        if (c.message) {
            ASSERT_FALSE(f.messages.shown.empty()) << c.what;
            EXPECT_EQ(f.messages.shown.back().text, c.message) << c.what;
        }
    }
}

// The display failing as a signal is handled: the program still ends as the
// signal would end it, with no error escaping through the event loop.
TEST(StartUpExit, SignalWithADisplayThatFailsStillEndsAsTheSignal) {
    struct Display : FakeDisplay {
        bool enumDisplaySettings(int modeNum, platform::DisplayMode& mode) override {
            if (broken)
                throw platform::PlatformError("the X server went away");
            return FakeDisplay::enumDisplaySettings(modeNum, mode);
        }
        bool broken = false;
    };
    ScreenAt75With<Display> f;
    QTemporaryDir folder;
    LessonDbFixture::write(folder.path());
    Program p(f.platform);
    const int status = runUntilEnded(p, f, folder.path(), [&] {
        f.failing.broken = true;
        std::raise(SIGTERM);
    });
    EXPECT_EQ(status, 128 + SIGTERM);
    EXPECT_TRUE(f.programEnd.runtimeErrors.isEmpty())
        << qPrintable(f.programEnd.runtimeErrors.join("; "));
}

// An error that escapes the start-up itself is reported, and the screen
// still comes back.
TEST(StartUpExit, ErrorEscapingTheStartUpIsReportedAndRestores) {
    struct Display : FakeDisplay {
        double twipsPerPixelX() override { throw platform::PlatformError("no screen density"); }
    };
    ScreenAt75With<Display> f;
    QTemporaryDir folder;
    LessonDbFixture::write(folder.path());
    Program p(f.platform);
    EXPECT_EQ(runUntilEnded(p, f, folder.path()), 1);
    EXPECT_EQ(f.programEnd.runtimeErrors, QStringList{"no screen density"});
    ASSERT_EQ(f.failing.changes.size(), 2u);
    EXPECT_EQ(f.failing.width, 1280);
    EXPECT_EQ(f.failing.frequency, 75u);
}

} // namespace
