#include "FakePlatform.h"
#include "GlyphonForTests.h"
#include "LessonDbFixture.h"
#include "core/Program.h"
#include "core/Start.h"
#include "windows/frmUnit.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::WindowStyle;

namespace {

// The unit menu reached through the start-up on a 1280 x 1024 screen at 75 Hz
// (switched to 1024 x 768 by the start-up).
class UnitMenuExitTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake.display.modes = {
            {0, 32, 1280, 1024, 60}, {0, 32, 1280, 1024, 75}, {0, 32, 1024, 768, 60}};
        fake.display.frequency = 75;
        LessonDbFixture::write(folder.path());
        StartUp(program, folder.path());
        ASSERT_TRUE(QTest::qWaitFor([&] { return program.forms.isLoaded<frmUnit>(); }, 10000));
        QApplication::processEvents();
        fake.display.changes.clear();
    }
    void TearDown() override {
        program.forms.unload<frmUnit>();
        QApplication::processEvents();
    }

    QTemporaryDir folder;
    FakePlatformWithGlyphon fake;
    Program program{fake.platform};
};

TEST_F(UnitMenuExitTest, CloseBoxAsksAndCancelKeepsTheMenu) {
    frmUnit& menu = program.forms.get<frmUnit>();
    fake.messages.answers.push_back(MsgAnswer::Cancel);
    EXPECT_FALSE(menu.close());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "确定要退出吗？");
    EXPECT_EQ(fake.messages.shown[0].title, "提示");
    EXPECT_EQ(fake.messages.shown[0].buttons, MsgButtons::OkCancel);
    EXPECT_TRUE(menu.isVisible());
    EXPECT_TRUE(program.forms.isLoaded<frmUnit>());
    EXPECT_TRUE(fake.display.changes.empty());
    EXPECT_TRUE(fake.processes.started.empty());
    EXPECT_FALSE(fake.programEnd.endedWith);
}

TEST_F(UnitMenuExitTest, CloseBoxOkRestoresTheStartModeStartsTheLauncherAndEnds) {
    fake.messages.answers.push_back(MsgAnswer::Ok);
    program.forms.get<frmUnit>().close();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "确定要退出吗？");
    // The mode in force at start, its refresh rate included.
    ASSERT_EQ(fake.display.changes.size(), 1u);
    const platform::DisplayMode& restored = fake.display.changes[0].first;
    EXPECT_EQ(restored.pelsWidth, 1280u);
    EXPECT_EQ(restored.pelsHeight, 1024u);
    EXPECT_TRUE(restored.fields & platform::DM_DISPLAYFREQUENCY);
    EXPECT_EQ(restored.displayFrequency, 75u);
    ASSERT_EQ(fake.processes.started.size(), 1u);
    EXPECT_EQ(fake.processes.started[0].first, program.vars.AppPath + "start.exe");
    EXPECT_EQ(fake.processes.started[0].second, WindowStyle::MinimizedFocus);
    EXPECT_EQ(fake.programEnd.endedWith, 0);
    EXPECT_FALSE(program.forms.isLoaded<frmUnit>());
}

TEST_F(UnitMenuExitTest, ExitProcedureIsTheSameWithoutTheCloseBox) {
    frmUnit& menu = program.forms.get<frmUnit>();
    fake.messages.answers.push_back(MsgAnswer::Cancel);
    EXPECT_FALSE(menu.DoExit());
    EXPECT_FALSE(fake.programEnd.endedWith);
    fake.messages.answers.push_back(MsgAnswer::Ok);
    EXPECT_TRUE(menu.DoExit());
    EXPECT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_EQ(fake.processes.started.size(), 1u);
    EXPECT_EQ(fake.programEnd.endedWith, 0);
}

} // namespace
