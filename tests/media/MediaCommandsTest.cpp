#include "media/MediaCommands.h"
#include "paths/PathLookup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::MediaCommands;
namespace mci = platform::mci;

namespace {

// A program folder whose path holds a blank, with the background music.
class MediaCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        appPath = dir.path() + "/Program Files/Verbaro/";
        QDir().mkpath(appPath + "wave");
        write(appPath + "wave/backsound.mid", QByteArray("MThd\0\0\0\6\0\0\0\1\0\x60", 14));
        write(appPath + "wave/notmidi.mid", "RIFF....WAVE");
    }
    static void write(const QString& path, const QByteArray& data) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    // The command the windows build: the path quoted when it holds a blank.
    QString openCommand(const QString& file) const {
        QString path = appPath + file;
        if (path.contains(' '))
            path = '"' + path + '"';
        return "OPEN " + path + " TYPE SEQUENCER ALIAS BackgroundMusic";
    }

    QTemporaryDir dir;
    QString appPath;
    platform::PathLookup paths{dir.path()};
    MediaCommands mci{paths};
};

TEST_F(MediaCommandsTest, OpenStatusCloseOfTheBackgroundMusic) {
    EXPECT_EQ(mci.sendString(openCommand("wave\\backsound.mid")), mci::NoError);
    EXPECT_EQ(mci.openAliases(), QStringList("backgroundmusic"));
    QString reply = "junk";
    EXPECT_EQ(mci.sendString("STATUS BackgroundMusic MODE", &reply), mci::NoError);
    EXPECT_EQ(reply, "stopped");
    EXPECT_EQ(reply.left(7).toUpper(), "STOPPED");
    // No MIDI output here: playing fails, and the device stays stopped.
    EXPECT_EQ(mci.sendString("PLAY BackgroundMusic FROM 0"), mci::SeqNoMidiPresent);
    EXPECT_EQ(mci.sendString("status backgroundmusic mode", &reply), mci::NoError);
    EXPECT_EQ(reply, "stopped");
    // Opened twice under one alias: refused, the first stays.
    EXPECT_EQ(mci.sendString(openCommand("wave/backsound.mid")), mci::DuplicateAlias);

    EXPECT_EQ(mci.sendString("CLOSE BackgroundMusic"), mci::NoError);
    EXPECT_EQ(mci.sendString("CLOSE BackgroundMusic"), mci::InvalidDeviceName);
    EXPECT_EQ(mci.sendString("STATUS BackgroundMusic MODE", &reply), mci::InvalidDeviceName);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(mci.sendString("PLAY BackgroundMusic FROM 0"), mci::InvalidDeviceName);
    // Reopened after the exercise window closes.
    EXPECT_EQ(mci.sendString(openCommand("WAVE/BackSound.MID")), mci::NoError);
    EXPECT_EQ(mci.sendString("CLOSE ALL"), mci::NoError);
    EXPECT_TRUE(mci.openAliases().isEmpty());
}

TEST_F(MediaCommandsTest, FailuresGiveTheirCodesAndOpenNothing) {
    const std::pair<QString, std::int32_t> cases[] = {
        {openCommand("wave/missing.mid"), mci::FileNotFound},
        {openCommand("wave/notmidi.mid"), mci::InvalidFile},
        {"OPEN " + appPath + "wave/backsound.mid TYPE SEQUENCER ALIAS BackgroundMusic",
         mci::UnrecognizedKeyword}, // the blank splits the unquoted path
        {"OPEN \"" + appPath + "wave/backsound.mid TYPE SEQUENCER", mci::NoClosingQuote},
        {openCommand("wave/backsound.mid").replace("SEQUENCER", "waveaudio"),
         mci::InvalidDeviceName},
        {"OPEN x.mid TYPE SEQUENCER ALIAS", mci::MissingStringArgument},
        {"OPEN x.xyz", mci::ExtensionNotFound},
        {"", mci::MissingCommandString},
        {"CLOSE", mci::MissingDeviceName},
        {"SEEK BackgroundMusic TO START", mci::UnrecognizedCommand},
        {"CLOSE Nobody", mci::InvalidDeviceName},
    };
    for (const auto& [command, code] : cases) {
        QString reply;
        EXPECT_EQ(mci.sendString(command, &reply), code) << command.toStdString();
        EXPECT_FALSE(mci.errorString(code).isEmpty());
    }
    EXPECT_TRUE(mci.openAliases().isEmpty());
    EXPECT_EQ(mci.errorString(mci::NoError), "");

    ASSERT_EQ(mci.sendString(openCommand("wave/backsound.mid")), mci::NoError);
    EXPECT_EQ(mci.sendString("STATUS BackgroundMusic"), mci::MissingParameter);
    EXPECT_EQ(mci.sendString("STATUS BackgroundMusic colour"), mci::UnrecognizedKeyword);
    EXPECT_EQ(mci.sendString("PLAY BackgroundMusic FROM x"), mci::BadInteger);
}

TEST(MediaCommandWords, QuotesHoldBlanks) {
    QStringList words;
    ASSERT_TRUE(MediaCommands::splitWords("open  \"a b\\c.mid\"  type x", &words));
    EXPECT_EQ(words, QStringList({"open", "a b\\c.mid", "type", "x"}));
    ASSERT_TRUE(MediaCommands::splitWords("close \"\"", &words));
    EXPECT_EQ(words, QStringList({"close", ""}));
    EXPECT_FALSE(MediaCommands::splitWords("open \"a b", &words));
}

} // namespace
