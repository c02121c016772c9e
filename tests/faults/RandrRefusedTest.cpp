// An X server whose RandR cannot give 1024 x 768 (Xvfb: one fixed screen
// size): the program starts at the size it has, lays its windows out for
// that width, says nothing about it and leaves the screen as it was.
#include "FakePlatform.h"
#include "GlyphonForTests.h"
#include "LessonDbFixture.h"
#include "core/FrmMain.h"
#include "core/Program.h"
#include "core/ScaleFactor.h"
#include "core/Start.h"
#include "display/RandrDisplay.h"
#include "windows/frmUnit.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A private Xvfb at 1280 x 1024; DISPLAY points at it while it lives.
class FixedSizeXServer {
public:
    FixedSizeXServer() {
        if (QStandardPaths::findExecutable("Xvfb").isEmpty())
            return;
        m_server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten",
                                "tcp", "-noreset"});
        if (!m_server.waitForStarted(5000))
            return;
        QByteArray out;
        while (!out.contains('\n') && m_server.waitForReadyRead(10000))
            out += m_server.readAllStandardOutput();
        if (!out.contains('\n'))
            return;
        m_previous = qgetenv("DISPLAY");
        m_display = ":" + out.trimmed();
        qputenv("DISPLAY", m_display);
    }
    ~FixedSizeXServer() {
        if (!m_display.isEmpty())
            qputenv("DISPLAY", m_previous);
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            if (!m_server.waitForFinished(5000))
                m_server.kill();
            m_server.waitForFinished(5000);
        }
    }
    bool running() const { return !m_display.isEmpty(); }

private:
    QProcess m_server;
    QByteArray m_display;
    QByteArray m_previous;
};

TEST(RandrRefusedTest, StartsAtTheSizeTheScreenHasWithoutAWord) {
    FixedSizeXServer x;
    if (!x.running())
        GTEST_SKIP() << "Xvfb is not installed or did not start";
    QTemporaryDir folder;
    LessonDbFixture::write(folder.path());
    FakePlatformWithGlyphon fake;
    platform::RandrDisplay display;
    fake.platform.display = &display;
    {
        Program program(fake.platform);
        StartUp(program, folder.path());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return fake.programEnd.endedWith || program.forms.isLoaded<frmUnit>(); }, 10000));
        QApplication::processEvents();
        EXPECT_FALSE(fake.programEnd.endedWith);
        EXPECT_TRUE(fake.messages.shown.empty())
            << qPrintable(fake.messages.shown.empty() ? QString() : fake.messages.shown[0].text);
        const GlobalVars& g = program.vars;
        EXPECT_EQ(g.StartWidth, 1280);
        EXPECT_EQ(g.ScreenWidth, 1280);
        EXPECT_DOUBLE_EQ(g.ScaleFactor, ComputeScaleFactor(1280, display.twipsPerPixelX()));
        EXPECT_EQ(display.deviceCaps(platform::HORZRES), 1280);
        EXPECT_EQ(display.deviceCaps(platform::VERTRES), 1024);
        program.forms.unload<frmUnit>();
        program.forms.unload<FrmMain>();
        QApplication::processEvents();
    }
}

} // namespace
