#include "FakePlatform.h"
#include "GlyphonForTests.h"
#include "core/FrmMain.h"
#include "core/Program.h"
#include "core/Setxianshi.h"
#include "display/RandrDisplay.h"

#include <QTimer>
#include <gtest/gtest.h>

using platform::DisplayMode;

namespace {

// On the X server of scripts/services.sh, whose output lists 640 x 480 at
// about 60, 73 and 75 Hz: the start-up's switch and the restore on the real
// RandR service. The test leaves the screen at 1280 x 1024.
class DisplayRestoreX11Test : public ::testing::Test {
protected:
    void SetUp() override {
        DisplayMode first;
        if (!qEnvironmentVariableIsSet("DISPLAY") || !randr.enumDisplaySettings(0, first)) {
            if (qgetenv("VERBARO_REQUIRE_SERVICES") == "1")
                FAIL() << "no X server with RandR 1.2";
            GTEST_SKIP() << "no X server with RandR (start scripts/services.sh)";
        }
        fake.platform.display = &randr;
    }
    void TearDown() override {
        DisplayMode back;
        back.fields = platform::DM_PELSWIDTH | platform::DM_PELSHEIGHT;
        back.pelsWidth = 1280;
        back.pelsHeight = 1024;
        randr.changeDisplaySettings(back, platform::CDS_FULLSCREEN);
    }
    DisplayMode inForce() {
        DisplayMode mode;
        EXPECT_TRUE(randr.enumDisplaySettings(platform::ENUM_CURRENT_SETTINGS, mode));
        return mode;
    }
    bool switchTo(unsigned width, unsigned height, std::uint32_t hz) {
        DisplayMode mode;
        mode.fields =
            platform::DM_PELSWIDTH | platform::DM_PELSHEIGHT | platform::DM_DISPLAYFREQUENCY;
        mode.pelsWidth = width;
        mode.pelsHeight = height;
        mode.displayFrequency = hz;
        return randr.changeDisplaySettings(mode, platform::CDS_FULLSCREEN) ==
               platform::DispChange::Successful;
    }

    platform::RandrDisplay randr;
    FakePlatformWithGlyphon fake;
};

TEST_F(DisplayRestoreX11Test, RestoresTheSizeAndTheRefreshRateInForceAtStart) {
    for (std::uint32_t hz : {60u, 73u}) {
        ASSERT_TRUE(switchTo(640, 480, hz)) << hz;
        Program program(fake.platform);
        program.forms.get<FrmMain>().Form_Load();
        program.forms.get<FrmMain>().Timer1->stop();
        EXPECT_EQ(inForce().pelsWidth, 1024u);
        EXPECT_EQ(program.vars.StartWidth, 640);
        EXPECT_EQ(program.vars.StartHeight, 480);

        RestoreDisplayMode(program);
        const DisplayMode restored = inForce();
        EXPECT_EQ(restored.pelsWidth, 640u) << hz;
        EXPECT_EQ(restored.pelsHeight, 480u) << hz;
        EXPECT_EQ(restored.displayFrequency, hz) << "not the highest rate of the size";
        program.forms.unload<FrmMain>();
    }
}

} // namespace
