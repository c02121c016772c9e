#include "FakePlatform.h"
#include "GlyphonForTests.h"
#include "LessonDbFixture.h"
#include "core/FrmMain.h"
#include "core/Program.h"
#include "core/PubFunction.h"
#include "core/ScaleFactor.h"
#include "core/Start.h"
#include "db/Recordset.h"
#include "windows/frmUnit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using platform::DispChange;
using platform::MsgAnswer;
using platform::MsgButtons;

namespace {

// Runs the start-up of a program installed in a temporary folder against
// fake platform services, up to the unit menu or the end of the program.
class StartUpTest : public ::testing::Test {
protected:
    void runStartUp() {
        StartUp(program, folder.path());
        // The timer tick and the unit menu's activation come from the event loop.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return fake.programEnd.endedWith || program.forms.isLoaded<frmUnit>(); }, 10000));
        QApplication::processEvents();
    }
    QString dbFile() const { return folder.path() + "/data/qvedbdemo.aaa"; }
    void TearDown() override {
        program.forms.unload<frmUnit>();
        program.forms.unload<FrmMain>();
        QApplication::processEvents();
    }

    QTemporaryDir folder;
    FakePlatformWithGlyphon fake;
    Program program{fake.platform};
};

TEST(FindAppPathTest, EndsInExactlyOneSlash) {
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/verbaro", "/opt/verbaro/"},
        {"/", "/"},
        {"/media/cdrom/program", "/media/cdrom/program/"},
    };
    for (const auto& [folder, expected] : cases) {
        GlobalVars g;
        FindAppPath(g, folder);
        EXPECT_EQ(g.AppPath, QString(expected)) << folder;
    }
}

TEST(ScaleFactorTest, FollowsWidthAndDensity) {
    EXPECT_DOUBLE_EQ(ComputeScaleFactor(1024, 15.0), 1.0);  // 96 dpi after the switch
    EXPECT_DOUBLE_EQ(ComputeScaleFactor(1024, 12.0), 0.8);  // 120 dpi after the switch
    EXPECT_DOUBLE_EQ(ComputeScaleFactor(1280, 15.0), 1.25); // switch refused
    EXPECT_DOUBLE_EQ(ComputeScaleFactor(1280, 12.0), 1.0);
}

TEST_F(StartUpTest, SetsDefaultsAndSwitchesTo1024x768) {
    LessonDbFixture::write(folder.path());
    program.vars.ScoreSound = 3;
    runStartUp();
    const GlobalVars& g = program.vars;
    EXPECT_EQ(g.ScoreSound, 1);
    EXPECT_EQ(g.MicLevel, 0);
    EXPECT_EQ(g.AgentChoice, 2) << "the menu's first activation introduces Merlin";
    EXPECT_TRUE(g.ReadSpeed.isEmpty());
    EXPECT_EQ(g.AppPath, folder.path() + "/");
    EXPECT_EQ(g.DataPath, g.AppPath);
    EXPECT_EQ(g.MerlinPath, g.AppPath + "CHAR/Merlin.acs");
    EXPECT_EQ(g.RobbyPath, g.AppPath + "CHAR/Robby.acs");
    EXPECT_EQ(g.StartWidth, 1280);
    EXPECT_EQ(g.StartHeight, 1024);
    EXPECT_EQ(g.ScreenWidth, 1024);
    EXPECT_DOUBLE_EQ(g.ScaleFactor, 1.0);

    ASSERT_EQ(fake.display.changes.size(), 1u);
    const auto& [mode, flags] = fake.display.changes[0];
    EXPECT_EQ(mode.fields, 1572864u);
    EXPECT_EQ(mode.pelsWidth, 1024u);
    EXPECT_EQ(mode.pelsHeight, 768u);
    EXPECT_EQ(flags, 4u);
    // The record comes from mode number 0, not from the mode in force.
    EXPECT_EQ(mode.bitsPerPel, fake.display.modes[0].bitsPerPel);
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_FALSE(fake.programEnd.endedWith);
}

TEST_F(StartUpTest, ScaleFactorFollowsTheScreenAfterTheSwitch) {
    struct Case {
        DispChange result;
        double twips;
        int screenWidth;
        double scale;
    } cases[] = {
        {DispChange::Successful, 15.0, 1024, 1.0},
        {DispChange::Successful, 12.0, 1024, 0.8},
        {DispChange::Failed, 15.0, 1280, 1.25},
        {DispChange::BadMode, 12.0, 1280, 1.0},
    };
    for (const Case& c : cases) {
        FakePlatformWithGlyphon f;
        f.display.resultForListed = c.result;
        f.display.twipsPerPixel = c.twips;
        Program p(f.platform);
        p.vars.AppPath = folder.path() + "/";
        p.forms.get<FrmMain>().Form_Load();
        p.forms.get<FrmMain>().Timer1->stop();
        EXPECT_EQ(p.vars.ScreenWidth, c.screenWidth);
        EXPECT_DOUBLE_EQ(p.vars.ScaleFactor, c.scale);
        EXPECT_TRUE(f.messages.shown.empty()) << "a refused switch shows nothing";
        p.forms.unload<FrmMain>();
    }
}

TEST_F(StartUpTest, SplashShowsItsPicture) {
    FrmMain& splash = program.forms.get<FrmMain>();
    EXPECT_EQ(splash.windowTitle(), "Verbaro");
    const QImage picture = splash.Image1->pixmap().toImage();
    ASSERT_EQ(picture.size(), QSize(800, 600));
    // The picture was drawn, not left as an empty page.
    QSet<QRgb> colours;
    for (int y = 0; y < 600; y += 20)
        for (int x = 0; x < 800; x += 20)
            colours.insert(picture.pixel(x, y));
    EXPECT_GT(colours.size(), 20);
    const QString out = qEnvironmentVariable("VERBARO_TEST_TMP");
    if (!out.isEmpty() && QDir().mkpath(out))
        picture.save(out + "/splash.png");
    EXPECT_FALSE(splash.timerEnabled()) << "the timer waits for the load handler";
    EXPECT_EQ(splash.Timer1->interval(), 10);
}

// The slow steps of the timer tick run with the splash on screen: the timer
// starts once the window has been painted, not when the load handler runs.
TEST_F(StartUpTest, SlowStepsWaitForTheSplashToBePainted) {
    LessonDbFixture::write(folder.path());
    struct PaintWatch : QObject {
        bool painted = false;
        bool eventFilter(QObject*, QEvent* e) override {
            painted = painted || e->type() == QEvent::Paint;
            return false;
        }
    } watch;
    bool paintedAtSoundCheck = false;
    fake.sound.onQuery = [&] { paintedAtSoundCheck = watch.painted; };
    FrmMain& splash = program.forms.get<FrmMain>();
    splash.installEventFilter(&watch);
    StartUp(program, folder.path());
    EXPECT_FALSE(splash.Timer1->isActive()) << "not painted yet";
    EXPECT_TRUE(QTest::qWaitFor([&] { return program.forms.isLoaded<frmUnit>(); }, 10000));
    EXPECT_EQ(fake.sound.deviceQueries, 1);
    EXPECT_TRUE(paintedAtSoundCheck);
}

// Whatever the timer tick lets escape stops at the handler boundary and
// reaches the run-time error report instead of unwinding through Qt.
TEST_F(StartUpTest, FailureInTheTimerTickIsReported) {
    LessonDbFixture::write(folder.path());
    fake.sound.onQuery = [] { throw 42; };
    StartUp(program, folder.path());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !fake.programEnd.runtimeErrors.isEmpty(); }, 10000));
    EXPECT_EQ(fake.programEnd.runtimeErrors, QStringList{"unknown error"});
    EXPECT_FALSE(program.forms.isLoaded<frmUnit>());
}

TEST_F(StartUpTest, RestartNeededAsksAndGoesOn) {
    for (MsgAnswer answer : {MsgAnswer::Yes, MsgAnswer::No}) {
        FakePlatformWithGlyphon f;
        f.display.resultForListed = DispChange::Restart;
        f.messages.answers.push_back(answer);
        Program p(f.platform);
        p.forms.get<FrmMain>().Form_Load();
        ASSERT_EQ(f.messages.shown.size(), 1u);
        EXPECT_EQ(f.messages.shown[0].text, "您必须重新开机！");
        EXPECT_EQ(f.messages.shown[0].title, "讯息");
        EXPECT_EQ(f.messages.shown[0].buttons, MsgButtons::YesNo);
        EXPECT_TRUE(f.messages.shown[0].systemModal);
        EXPECT_EQ(f.display.rebootRequests, answer == MsgAnswer::Yes ? 1 : 0);
        EXPECT_TRUE(p.forms.get<FrmMain>().timerEnabled()) << "start-up goes on";
        p.forms.unload<FrmMain>();
    }
}

TEST_F(StartUpTest, NoSoundDeviceEndsBeforeTheDatabaseIsOpened) {
    LessonDbFixture::write(folder.path());
    for (bool queryFails : {false, true}) {
        FakePlatformWithGlyphon f;
        f.sound.devices = 0;
        f.sound.queryFails = queryFails;
        Program p(f.platform);
        StartUp(p, folder.path());
        EXPECT_TRUE(QTest::qWaitFor([&] { return f.programEnd.endedWith.has_value(); }, 10000));
        ASSERT_EQ(f.messages.shown.size(), 1u);
        EXPECT_EQ(f.messages.shown[0].text, "没有检测到声卡，请安装声卡！");
        EXPECT_EQ(f.messages.shown[0].title, "提示");
        EXPECT_EQ(f.messages.shown[0].buttons, MsgButtons::Ok);
        // Restored to the size found at start.
        ASSERT_EQ(f.display.changes.size(), 2u);
        EXPECT_EQ(f.display.changes[1].first.pelsWidth, 1280u);
        EXPECT_EQ(f.display.changes[1].first.pelsHeight, 1024u);
        EXPECT_TRUE(f.programEnd.endedWith.has_value());
        EXPECT_EQ(p.MyDataEm.DbCn.State(), platform::db::ObjectState::Closed);
        EXPECT_FALSE(p.forms.isLoaded<frmUnit>());
        p.forms.unload<FrmMain>();
    }
}

TEST_F(StartUpTest, DatabaseThatCannotBeOpenedEndsWithTheMessage) {
    struct Case {
        const char* what;
        std::function<void(const QString&)> prepare;
    } cases[] = {
        {"missing file", [](const QString&) {}},
        {"wrong password", [](const QString& dir) { LessonDbFixture::write(dir, "wrongpass"); }},
        {"not a database",
         [](const QString& dir) {
             QDir().mkpath(dir + "/data");
             QFile f(dir + "/data/qvedbdemo.aaa");
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(QByteArray(4096, 'x'));
         }},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        c.prepare(dir.path());
        FakePlatformWithGlyphon f;
        Program p(f.platform);
        StartUp(p, dir.path());
        EXPECT_TRUE(QTest::qWaitFor([&] { return f.programEnd.endedWith.has_value(); }, 10000));
        ASSERT_EQ(f.messages.shown.size(), 1u) << c.what;
        EXPECT_EQ(f.messages.shown[0].text, "无法连接数据！请安装 Mdac_typ2.5") << c.what;
        EXPECT_EQ(f.messages.shown[0].title, "警告") << c.what;
        EXPECT_TRUE(f.programEnd.endedWith.has_value()) << c.what;
        EXPECT_FALSE(p.forms.isLoaded<FrmMain>()) << c.what;
        ASSERT_EQ(f.display.changes.size(), 2u) << "the display is switched back: " << c.what;
        EXPECT_EQ(f.display.width, 1280) << c.what;
        EXPECT_EQ(f.display.height, 1024) << c.what;
        p.forms.unload<frmUnit>();
        QApplication::processEvents();
    }
}

TEST_F(StartUpTest, MissingDatabaseLeavesNoFileBehind) {
    runStartUp();
    EXPECT_TRUE(fake.programEnd.endedWith.has_value());
    EXPECT_FALSE(QFile::exists(dbFile()));
    EXPECT_FALSE(QDir(folder.path() + "/data").exists() &&
                 !QDir(folder.path() + "/data").isEmpty());
}

TEST_F(StartUpTest, OpensTheDatabaseAndShowsTheUnitMenu) {
    LessonDbFixture::write(folder.path());
    runStartUp();
    ASSERT_FALSE(fake.programEnd.endedWith) << fake.messages.shown.size();
    ASSERT_TRUE(program.forms.isLoaded<frmUnit>());
    frmUnit& menu = program.forms.get<frmUnit>();
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.windowTitle(), "Verbaro");
    EXPECT_TRUE(menu.canGo) << "lessons open once Merlin has parked";
    platform::db::Recordset& units = program.MyDataEm.rsSelUnit;
    EXPECT_EQ(units.AbsolutePosition(), 1);
    EXPECT_EQ(units.Field("UnitID").toString(), "010000");
    EXPECT_EQ(program.MyDataEm.rsSelCom.State(), platform::db::ObjectState::Open);
    EXPECT_EQ(fake.sound.deviceQueries, 1);
}

TEST_F(StartUpTest, ActivatingTheUnitMenuUnloadsTheSplash) {
    LessonDbFixture::write(folder.path());
    runStartUp();
    ASSERT_TRUE(program.forms.isLoaded<frmUnit>());
    program.forms.get<frmUnit>().Form_Activate();
    EXPECT_FALSE(program.forms.isLoaded<FrmMain>());
    // A second activation finds it unloaded already and changes nothing.
    program.forms.get<frmUnit>().Form_Activate();
    EXPECT_FALSE(program.forms.isLoaded<FrmMain>());
}

TEST(PubFunctionTest, OpenHelpFileOnlyForAFileThatIsThere) {
    FakePlatformWithGlyphon f;
    QTemporaryDir dir;
    EXPECT_FALSE(OpenHelpFile(f.platform, dir.path() + "/QVhelp.chm", nullptr));
    EXPECT_TRUE(f.help.shownFiles.isEmpty());

    QFile chm(dir.path() + "/qvhelp.chm");
    ASSERT_TRUE(chm.open(QIODevice::WriteOnly));
    chm.close();
    EXPECT_TRUE(OpenHelpFile(f.platform, dir.path() + "/QVhelp.chm", nullptr));
    EXPECT_EQ(f.help.shownFiles, QStringList{dir.path() + "/qvhelp.chm"});

    f.help.opens = false; // there, but not a help file the viewer can show
    EXPECT_FALSE(OpenHelpFile(f.platform, dir.path() + "/QVhelp.chm", nullptr));
}

TEST(PubFunctionTest, HasSoundDeviceCountsAFailingQueryAsNone) {
    FakePlatformWithGlyphon f;
    EXPECT_TRUE(HasSoundDevice(f.platform));
    f.sound.devices = 0;
    EXPECT_FALSE(HasSoundDevice(f.platform));
    f.sound.devices = 2;
    f.sound.queryFails = true;
    EXPECT_FALSE(HasSoundDevice(f.platform));
}

} // namespace
