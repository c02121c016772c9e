#include "display/RandrDisplay.h"

#include "platform/EnvOverride.h"

#include <QGuiApplication>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

// After the others: X's macros (None, Bool) clash with their names.
#include <X11/Xlib.h>

namespace {

using platform::DispChange;
using platform::DisplayMode;
using platform::DM_BITSPERPEL;
using platform::DM_DISPLAYFREQUENCY;
using platform::DM_PELSHEIGHT;
using platform::DM_PELSWIDTH;
using platform::HORZRES;
using platform::VERTRES;
using Size = std::pair<int, int>;

constexpr std::uint32_t kSizeFields = DM_PELSWIDTH | DM_PELSHEIGHT;

DisplayMode sized(unsigned width, unsigned height, std::uint32_t fields = kSizeFields) {
    DisplayMode mode;
    mode.fields = fields;
    mode.pelsWidth = width;
    mode.pelsHeight = height;
    return mode;
}

Size sizeOf(platform::IDisplay& display) {
    return {display.deviceCaps(HORZRES), display.deviceCaps(VERTRES)};
}

// The X screen's own size (the root window), asked on a connection of its own.
Size rootWindowSize() {
    Display* x = XOpenDisplay(nullptr);
    if (!x)
        return {0, 0};
    const Size size{DisplayWidth(x, DefaultScreen(x)), DisplayHeight(x, DefaultScreen(x))};
    XCloseDisplay(x);
    return size;
}

// Runs on the X server of scripts/services.sh: a dummy screen at 1280x1024
// whose output also lists 1024x768 and 800x600 (among others), not 1600x1200.
// Every test starts at 1280x1024 and leaves the screen as it found it.
class RandrDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        DisplayMode first;
        if (!qEnvironmentVariableIsSet("DISPLAY") || !display.enumDisplaySettings(0, first)) {
            if (qgetenv("VERBARO_REQUIRE_SERVICES") == "1")
                FAIL() << "no X server with RandR 1.2";
            GTEST_SKIP() << "no X server with RandR (start scripts/services.sh)";
        }
        m_start = sizeOf(display);
        ASSERT_EQ(display.changeDisplaySettings(sized(1280, 1024), platform::CDS_FULLSCREEN),
                  DispChange::Successful);
    }
    void TearDown() override {
        if (m_start.first > 0)
            display.changeDisplaySettings(sized(m_start.first, m_start.second),
                                          platform::CDS_FULLSCREEN);
    }
    DispChange change(const DisplayMode& mode) {
        return display.changeDisplaySettings(mode, platform::CDS_FULLSCREEN);
    }

    platform::RandrDisplay display;

private:
    Size m_start{0, 0};
};

std::vector<DisplayMode> allModes(platform::IDisplay& display) {
    std::vector<DisplayMode> modes;
    DisplayMode mode;
    while (display.enumDisplaySettings(static_cast<int>(modes.size()), mode))
        modes.push_back(mode);
    return modes;
}

bool listed(const std::vector<DisplayMode>& modes, unsigned width, unsigned height) {
    for (const DisplayMode& m : modes) {
        if (m.pelsWidth == width && m.pelsHeight == height)
            return true;
    }
    return false;
}

TEST_F(RandrDisplayTest, ModeZeroIsTheFirstListedNotTheOneInForce) {
    ASSERT_EQ(change(sized(1024, 768)), DispChange::Successful);
    DisplayMode first;
    ASSERT_TRUE(display.enumDisplaySettings(0, first));
    EXPECT_EQ(first.fields, DM_BITSPERPEL | kSizeFields | DM_DISPLAYFREQUENCY);
    EXPECT_EQ(first.pelsWidth, 1280u);
    EXPECT_EQ(first.pelsHeight, 1024u);
    EXPECT_EQ(first.bitsPerPel, 32u); // depth 24 is stored in 32 bits a pixel
    EXPECT_EQ(first.displayFrequency, 60u);

    const std::vector<DisplayMode> modes = allModes(display);
    EXPECT_TRUE(listed(modes, 1024, 768));
    EXPECT_TRUE(listed(modes, 800, 600));
    EXPECT_FALSE(listed(modes, 1600, 1200));
    DisplayMode inForce;
    ASSERT_TRUE(display.enumDisplaySettings(platform::ENUM_CURRENT_SETTINGS, inForce));
    EXPECT_EQ(inForce.pelsWidth, 1024u);
    EXPECT_EQ(inForce.pelsHeight, 768u);
    EXPECT_EQ(inForce.displayFrequency, 60u);
    DisplayMode none;
    EXPECT_FALSE(display.enumDisplaySettings(-2, none));
}

TEST_F(RandrDisplayTest, SwitchesSizeAndTheServerShowsItAtOnce) {
    for (const Size& size : {Size{1024, 768}, Size{800, 600}, Size{1024, 768}, Size{1280, 1024}}) {
        const auto [width, height] = size;
        ASSERT_EQ(change(sized(width, height)), DispChange::Successful) << width << "x" << height;
        EXPECT_EQ(sizeOf(display), size);
        // Other clients see it too, and the screen fits the output exactly.
        EXPECT_EQ(rootWindowSize(), size);
    }
}

TEST_F(RandrDisplayTest, ModeTheOutputLacksIsBadModeAndChangesNothing) {
    struct Case {
        const char* what;
        DisplayMode mode;
    } cases[] = {
        {"a size the server lacks", sized(1600, 1200)},
        {"a listed size at a refresh it lacks",
         {kSizeFields | DM_DISPLAYFREQUENCY, 0, 1024, 768, 75}},
        {"another colour depth", {kSizeFields | DM_BITSPERPEL, 8, 1024, 768, 0}},
        {"a height that does not go with the width in force", sized(0, 768, DM_PELSHEIGHT)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(change(c.mode), DispChange::BadMode) << c.what;
        EXPECT_EQ(sizeOf(display), Size(1280, 1024)) << c.what;
    }
}

TEST_F(RandrDisplayTest, OnlyFieldsNamedInTheMaskCount) {
    struct Case {
        const char* what;
        DisplayMode mode;
        Size expected;
    } cases[] = {
        {"depth and refresh outside the mask", {kSizeFields, 8, 1024, 768, 75}, {1024, 768}},
        {"width outside the mask keeps the width in force",
         {DM_PELSHEIGHT, 0, 800, 960, 0},
         {1280, 960}},
        {"every field, all matching",
         {kSizeFields | DM_BITSPERPEL | DM_DISPLAYFREQUENCY, 32, 800, 600, 60},
         {800, 600}},
        {"no field at all changes nothing", {0, 0, 1024, 768, 0}, {1280, 1024}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(change(c.mode), DispChange::Successful) << c.what;
        EXPECT_EQ(sizeOf(display), c.expected) << c.what;
        ASSERT_EQ(change(sized(1280, 1024)), DispChange::Successful);
    }
}

TEST(RandrDisplayNoServerTest, WithoutAnXDisplayNothingIsListedAndSwitchesFail) {
    EnvOverride noDisplay("DISPLAY", ":9999");
    platform::RandrDisplay display;
    DisplayMode mode;
    EXPECT_FALSE(display.enumDisplaySettings(0, mode));
    EXPECT_EQ(display.changeDisplaySettings(sized(1024, 768), platform::CDS_FULLSCREEN),
              DispChange::Failed);
    EXPECT_EQ(sizeOf(display), Size(0, 0)); // and no Qt screen to ask either
    EXPECT_DOUBLE_EQ(display.twipsPerPixelX(), 15.0);
}

TEST(RandrDisplayTwipsTest, FollowQtsLogicalDpi) {
    EnvOverride platformName("QT_QPA_PLATFORM", "offscreen");
    EnvOverride noScaling("QT_ENABLE_HIGHDPI_SCALING", "0");
    EnvOverride dpi("QT_FONT_DPI", "120");
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    platform::RandrDisplay display;
    EXPECT_DOUBLE_EQ(display.twipsPerPixelX(), 12.0);
}

} // namespace
