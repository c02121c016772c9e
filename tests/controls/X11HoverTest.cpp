#include "ImageLabel.h"
#include "PictureArea.h"
#include "QtPrinters.h"
#include "TestApp.h"
#include "screen/ScreenMetrics.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QThread>
#include <QWindow>

#include <functional>

#include <gtest/gtest.h>

// Under the sanitizer preset: suppress the report from the X keyboard library
// (see asan.supp); the preset's ASAN_OPTIONS names no suppressions of its own.
extern "C" const char* __asan_default_options() {
    return "suppressions=" CONTROLS_ASAN_SUPP;
}

namespace {

bool waitFor(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return done();
}

// The real pointer on a real X server: entering grabs the pointer, so a move
// far outside the window still reaches the control and ends the hover.
TEST(ImageLabelOnX11, GrabNoticesThePointerLeavingTheWindow) {
    if (qEnvironmentVariable("DISPLAY").isEmpty()) {
        if (qEnvironmentVariable("VERBARO_REQUIRE_SERVICES") == "1")
            FAIL() << "no X server (DISPLAY)";
        GTEST_SKIP() << "no X server (DISPLAY)";
    }
    ensureApp(true);
    QWidget window;
    window.setGeometry(200, 200, 300, 200);
    auto* label = new ImageLabel(&window, std::make_shared<platform::ScreenMetrics>());
    label->setGeometry(50, 50, 100, 40);
    QStringList events;
    const auto record = [&](const char* name) {
        return [&events, name](short&, short&, float&, float&) { events << name; };
    };
    QObject::connect(label, &ImageLabel::MouseEnter, record("MouseEnter"));
    QObject::connect(label, &ImageLabel::MouseExit, record("MouseExit"));
    QCursor::setPos(10, 10);
    window.show();
    ASSERT_TRUE(
        waitFor([&] { return window.windowHandle() && window.windowHandle()->isExposed(); }));

    QCursor::setPos(label->mapToGlobal(QPoint(50, 20)));
    ASSERT_TRUE(waitFor([&] { return events.contains("MouseEnter"); }));
    EXPECT_EQ(QWidget::mouseGrabber(), label->imgBack());

    QCursor::setPos(10, 10); // outside the window altogether
    ASSERT_TRUE(waitFor([&] { return events.contains("MouseExit"); }));
    EXPECT_EQ(events, (QStringList{"MouseEnter", "MouseExit"}));
    EXPECT_FALSE(label->mouseInside());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

} // namespace
