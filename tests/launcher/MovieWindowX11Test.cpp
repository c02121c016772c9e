#include "SwfWriter.h"
#include "TMaiForm.h"
#include "flash/FlashPlayer.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class MovieWindowX11 : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            if (std::getenv("VERBARO_REQUIRE_SERVICES"))
                FAIL() << "no X server";
            GTEST_SKIP() << "no X server";
        }
    }

    // A movie of `frames` empty frames at 50 frames per second, then one
    // frame sending `command`.
    QString writeMovie(int frames, const QString& command, bool compressed) {
        SwfWriter movie(640, 480, 50.0, Qt::darkBlue);
        for (int i = 0; i < frames; ++i)
            movie.addFrame();
        movie.addFrame({{command, QString()}});
        const QString path = dir.filePath("movie.swf");
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(movie.bytes(compressed));
        return path;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(MovieWindowX11, FullScreenMovieClosesItselfWhenItSendsQuit) {
    QPointer<TMaiForm> form = new TMaiForm;
    form->ShockwaveFlash1->setMovie(writeMovie(10, "Quit", true));
    form->ShockwaveFlash1->play();
    QRect shown;
    QTimer::singleShot(50, [&] {
        if (form)
            shown = form->geometry();
    });
    QElapsedTimer timer;
    timer.start();
    form->exec();                    // returns when the movie closes the window
    EXPECT_GE(timer.elapsed(), 150); // the timeline ran for its length first
    EXPECT_EQ(shown.size(), QGuiApplication::primaryScreen()->geometry().size());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
}

// A movie whose very first frame says "Quit" closes the window once it is on
// screen: exec() returns instead of showing a blank, stopped window. The
// launcher starts the movie from its event loop, as here.
TEST_F(MovieWindowX11, QuitInTheFirstFrameClosesTheShownWindow) {
    for (const char* command : {"Quit", "Back"}) {
        QPointer<TMaiForm> form = new TMaiForm;
        form->ShockwaveFlash1->setMovie(writeMovie(0, command, false));
        bool hung = false;
        QEventLoop launcherLoop;
        QTimer::singleShot(0, [&] {
            form->ShockwaveFlash1->play();
            QTimer::singleShot(3000, form.data(), [&] {
                hung = true;
                form->close();
            });
            form->exec();
            launcherLoop.quit();
        });
        launcherLoop.exec();
        EXPECT_FALSE(hung) << command;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(form.isNull()) << command;
        delete form.data();
    }
}

TEST_F(MovieWindowX11, WrongCaseCommandLeavesTheWindowOpen) {
    QPointer<TMaiForm> form = new TMaiForm;
    form->ShockwaveFlash1->setMovie(writeMovie(2, "quit", false));
    form->ShockwaveFlash1->play();
    form->show();
    QElapsedTimer timer;
    timer.start();
    while (form->ShockwaveFlash1->isPlaying() && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(form->ShockwaveFlash1->currentFrame(), 3); // the whole timeline ran
    EXPECT_TRUE(form->isVisible());
    delete form.data();
}
