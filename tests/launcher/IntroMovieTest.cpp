#include "LauncherFixture.h"

#include "TMaiForm.h"
#include "flash/FlashPlayer.h"

#include <QPointer>
#include <QSignalSpy>

#include <sys/resource.h>

#include <csignal>

namespace {

class IntroMovie : public LauncherFixture {
protected:
    QString marker() { return fake.pathLookup.resolve("c:\\temptemp\\zorvik.swf"); }
    static QByteArray movieBytes() {
        QByteArray bytes("FWS\x06");
        for (int i = 0; i < 10000; ++i) // longer than one copy block, not a multiple of it
            bytes.append(static_cast<char>(i * 7));
        return bytes;
    }
};

} // namespace

TEST_F(IntroMovie, PresentMarkerSkipsTheMovie) {
    writeFile("games/zorvik.swf", movieBytes());
    QDir().mkpath(QFileInfo(marker()).absolutePath());
    QFile file(marker());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a movie");
    file.close();
    window().FormShow();
    EXPECT_TRUE(moviesShown.isEmpty());
    QFile after(marker());
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), "not a movie");
}

TEST_F(IntroMovie, AbsentMarkerCopiesAndShowsTheMovie) {
    writeFile("games/zorvik.swf", movieBytes());
    window().FormShow();
    EXPECT_EQ(moviesShown, QStringList(appDir() + "games/zorvik.swf"));
    QFile copy(marker());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), movieBytes());
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(IntroMovie, MissingMovieIsReportedAndSkipped) {
    window().FormShow();
    EXPECT_TRUE(moviesShown.isEmpty());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "Cannot open file " + appDir() + "games/zorvik.swf");
}

TEST_F(IntroMovie, UncreatableCopyIsReportedAndSkipped) {
    writeFile("games/zorvik.swf", movieBytes());
    // A folder where the copy should go cannot be opened as a file.
    QDir().mkpath(marker() + "/blocked");
    window().IntroCopy = "c:\\temptemp\\zorvik.swf\\blocked";
    window().FormShow();
    EXPECT_TRUE(moviesShown.isEmpty());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, "Cannot create file c:\\temptemp\\zorvik.swf\\blocked");
}

// A copy that fails half-way must not leave a marker behind: the movie would
// never be shown again.
TEST_F(IntroMovie, UnreadableMovieLeavesNoMarker) {
    // Opens, but reading it fails.
    QDir().mkpath(appDir() + "games");
    ASSERT_TRUE(QFile::link("/proc/self/mem", appDir() + "games/zorvik.swf"));
    window().FormShow();
    EXPECT_TRUE(moviesShown.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(marker()));
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.startsWith("Cannot read file " + appDir() +
                                                       "games/zorvik.swf"));
}

TEST_F(IntroMovie, FailedWriteLeavesNoMarkerAndShowsTheMovieNextTime) {
    writeFile("games/zorvik.swf", movieBytes());
    {
        // Files of this process may grow to one copy block only: the copy's
        // second block fails to write.
        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 4096;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        window().FormShow();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
    }
    EXPECT_TRUE(moviesShown.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(marker()));
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(
        fake.messages.shown[0].text.startsWith("Cannot write file c:\\temptemp\\zorvik.swf"))
        << fake.messages.shown[0].text.toStdString();
    EXPECT_TRUE(QDir(QFileInfo(marker()).absolutePath()).entryList(QDir::Files).isEmpty())
        << "no temporary file left";

    window().FormShow(); // the next start
    EXPECT_EQ(moviesShown.size(), 1);
    QFile copy(marker());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), movieBytes());
}

TEST(MovieWindow, ClosesOnlyOnQuitOrBackSpelledExactly) {
    struct Case {
        const char* command;
        bool closes;
    } cases[] = {{"quit", false},  {"QUIT", false}, {"back", false},
                 {"Other", false}, {"Quit", true},  {"Back", true}};
    for (const Case& c : cases) {
        QPointer<TMaiForm> form = new TMaiForm;
        form->show();
        form->ShockwaveFlash1FSCommand(c.command, "");
        EXPECT_EQ(!form->isVisible(), c.closes) << c.command;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(form.isNull(), c.closes) << c.command; // frees itself when closed
        delete form.data();
    }
}
