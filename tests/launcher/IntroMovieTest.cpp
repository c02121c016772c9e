#include "LauncherFixture.h"

#include "TMaiForm.h"
#include "flash/FlashPlayer.h"

#include <QPointer>
#include <QSignalSpy>

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
