#include "AgentTestSupport.h"
#include "agent/AgentCharacter.h"
#include "agent/AgentControl.h"
#include "paths/PathLookup.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

const QColor kBackdrop(240, 230, 200);

class AgentScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY")) {
            if (qEnvironmentVariableIntValue("VERBARO_REQUIRE_SERVICES") == 1)
                FAIL() << "no X server (DISPLAY is not set)";
            GTEST_SKIP() << "no X server";
        }
        AgentTestSupport::ensureApplication(AgentTestSupport::Screen::X11);
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        backdrop = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
        backdrop->setStyleSheet(QString("background: %1").arg(kBackdrop.name()));
        backdrop->setGeometry(100, 100, 400, 300);
        backdrop->show();
        ASSERT_TRUE(AgentTestSupport::waitUntil([&] { return backdrop->isVisible(); }));
        AgentTestSupport::pump(200);
    }

    // What the X server shows where the character stands.
    QImage grab(const platform::AgentCharacter& c) {
        AgentTestSupport::pump(250);
        const QSize size = c.frameSize();
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, c.Left(), c.Top(), size.width(), size.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    static bool nearBackdrop(QColor c) {
        return std::abs(c.red() - kBackdrop.red()) < 12 &&
               std::abs(c.green() - kBackdrop.green()) < 12 &&
               std::abs(c.blue() - kBackdrop.blue()) < 12;
    }

    std::unique_ptr<QWidget> backdrop;
    QTemporaryDir drives;
    platform::PathLookup paths{drives.path()};
    platform::AgentControl control{paths};
};

TEST_F(AgentScreenTest, EachCharacterStandsOnTheScreenInItsOwnShape) {
    for (const auto& c : AgentTestSupport::characters()) {
        control.Load(c.name, AgentTestSupport::characterFile(c.name));
        platform::AgentCharacter& character = *control.find(c.name);
        const Qt::WindowFlags flags = character.window()->windowFlags();
        EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
        EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
        character.setLeft(200);
        character.setTop(150);
        character.Show();
        ASSERT_TRUE(AgentTestSupport::waitUntil([&] { return !character.isBusy(); }));
        const QImage still = grab(character);
        still.save(AgentTestSupport::scratchFolder() + "/agent-" + c.name + ".png");

        // Outside the figure the backdrop shows through; the figure covers a good part.
        EXPECT_TRUE(nearBackdrop(still.pixelColor(1, 1))) << c.name.toStdString();
        EXPECT_TRUE(nearBackdrop(still.pixelColor(still.width() - 2, 1))) << c.name.toStdString();
        int covered = 0;
        for (int y = 0; y < still.height(); ++y)
            for (int x = 0; x < still.width(); ++x)
                covered += !nearBackdrop(still.pixelColor(x, y));
        const int area = still.width() * still.height();
        EXPECT_GT(covered, area / 6) << c.name.toStdString();
        EXPECT_LT(covered, area * 3 / 4) << c.name.toStdString();

        // Half way through an animation the picture has changed.
        character.Play(c.animations[1]);
        AgentTestSupport::pump(250);
        const QImage moving = grab(character);
        moving.save(AgentTestSupport::scratchFolder() + "/agent-" + c.name + "-" + c.animations[1] +
                    ".png");
        EXPECT_NE(moving, still) << c.name.toStdString();

        character.Hide();
        ASSERT_TRUE(AgentTestSupport::waitUntil([&] { return !character.window()->isVisible(); }));
        control.Unload(c.name);
    }
}

TEST_F(AgentScreenTest, ACharacterStaysAboveAWindowShownAfterIt) {
    control.Load("Merlin", AgentTestSupport::characterFile("Merlin"));
    platform::AgentCharacter& merlin = *control.find("Merlin");
    merlin.setLeft(200);
    merlin.setTop(150);
    merlin.Show();
    ASSERT_TRUE(AgentTestSupport::waitUntil([&] { return !merlin.isBusy(); }));

    // A modal window over the character's place, as the exercise window
    // comes up over the unit menu; on this server no window manager keeps
    // the character on top.
    const QColor cover(30, 90, 160);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setStyleSheet(QString("background: %1").arg(cover.name()));
    window.setWindowModality(Qt::ApplicationModal);
    window.setGeometry(50, 50, 600, 500);
    window.show();
    ASSERT_TRUE(AgentTestSupport::waitUntil([&] { return window.isVisible(); }));
    const QImage shown = grab(merlin);
    shown.save(AgentTestSupport::scratchFolder() + "/agent-over-a-window.png");
    int figure = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QColor c = shown.pixelColor(x, y);
            figure += std::abs(c.red() - cover.red()) + std::abs(c.green() - cover.green()) +
                          std::abs(c.blue() - cover.blue()) >
                      36;
        }
    EXPECT_GT(figure, shown.width() * shown.height() / 6) << "the character is hidden";
    EXPECT_TRUE(window.isVisible());
    merlin.Hide();
    ASSERT_TRUE(AgentTestSupport::waitUntil([&] { return !merlin.window()->isVisible(); }));
}

} // namespace
