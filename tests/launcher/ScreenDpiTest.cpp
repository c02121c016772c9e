#include "screen/ScreenMetrics.h"

#include "platform/EnvOverride.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

// A desktop set to 120 dpi: Qt 6 scales its pixels by 1.25 and reports a
// logical 96 dpi; the desktop's setting is still 120 dpi, while twips per
// pixel stay those of the pixels the widgets are laid out in.
TEST(ScreenDpi, DesktopSettingIsSeenUnderQtsScaling) {
    EnvOverride platformName("QT_QPA_PLATFORM", "offscreen");
    EnvOverride dpi("QT_FONT_DPI", "120");
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    const platform::ScreenMetrics screen;
    EXPECT_DOUBLE_EQ(screen.dotsPerInchX(), 120.0);
    EXPECT_DOUBLE_EQ(screen.twipsPerPixelX(), 15.0);
}
