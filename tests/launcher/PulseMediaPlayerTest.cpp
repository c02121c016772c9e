#include "media/PulseMediaPlayer.h"
#include "sound/PulseSound.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// A mono 16-bit wave file of `ms` milliseconds of a quiet tone.
QString writeWave(const QTemporaryDir& dir, int ms) {
    const int rate = 16000;
    const int samples = rate * ms / 1000;
    QByteArray data;
    for (int i = 0; i < samples; ++i) {
        const auto s = static_cast<qint16>(2000 * std::sin(i * 0.1));
        data.append(reinterpret_cast<const char*>(&s), 2);
    }
    auto u32 = [](quint32 v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](quint16 v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
    const QByteArray wave = "RIFF" + u32(36 + data.size()) + "WAVEfmt " + u32(16) + u16(1) +
                            u16(1) + u32(rate) + u32(rate * 2) + u16(2) + u16(16) + "data" +
                            u32(data.size()) + data;
    const QString path = dir.filePath(QStringLiteral("tone%1.wav").arg(ms));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(wave);
    return path;
}

bool waitFor(const int& notices, int count) {
    QElapsedTimer timer;
    timer.start();
    while (notices < count && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return notices >= count;
}

class PulseMediaPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (platform::PulseSound().waveOutDeviceCount() == 0) {
            if (std::getenv("VERBARO_REQUIRE_SERVICES"))
                FAIL() << "no PulseAudio server";
            GTEST_SKIP() << "no PulseAudio server";
        }
    }
    QTemporaryDir dir;
    platform::PulseMediaPlayer player;
    int notices = 0;
};

} // namespace

TEST_F(PulseMediaPlayerTest, PlaysToTheEndAndNotifiesOnTheWindowThread) {
    ASSERT_TRUE(player.open(writeWave(dir, 300), nullptr));
    EXPECT_EQ(player.mode(), platform::MediaMode::Stopped);
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(player.play([this] {
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        ++notices;
    }));
    EXPECT_EQ(player.mode(), platform::MediaMode::Playing);
    ASSERT_TRUE(waitFor(notices, 1));
    EXPECT_GE(timer.elapsed(), 250);
    EXPECT_EQ(player.mode(), platform::MediaMode::Stopped);
}

TEST_F(PulseMediaPlayerTest, CloseEndsThePlayAndItsNoticeFindsTheDeviceClosed) {
    ASSERT_TRUE(player.open(writeWave(dir, 5000), nullptr));
    platform::MediaMode modeAtNotice = platform::MediaMode::Playing;
    ASSERT_TRUE(player.play([&] {
        modeAtNotice = player.mode();
        ++notices;
    }));
    QElapsedTimer timer;
    timer.start();
    player.close();
    EXPECT_LT(timer.elapsed(), 1000);
    ASSERT_TRUE(waitFor(notices, 1));
    EXPECT_EQ(modeAtNotice, platform::MediaMode::NotOpen);
}

// Streams of this process that the sound server is playing now.
int ourStreamsPlaying() {
    QProcess pactl;
    pactl.start("pactl", {"list", "sink-inputs"});
    pactl.waitForFinished(5000);
    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid());
    return static_cast<int>(
        pactl.readAllStandardOutput().count("application.process.id = \"" + pid + "\""));
}

// A short recording is in the server's buffer whole after a moment; a stop
// then must not wait for that buffer to play out.
TEST_F(PulseMediaPlayerTest, StopCutsABufferedRecordingAtOnce) {
    ASSERT_TRUE(player.open(writeWave(dir, 1800), nullptr));
    ASSERT_TRUE(player.play([this] { ++notices; }));
    QThread::msleep(300);
    EXPECT_EQ(ourStreamsPlaying(), 1);
    QElapsedTimer timer;
    timer.start();
    player.close();
    EXPECT_LT(timer.elapsed(), 1000) << "the rest of the recording was played out first";
    EXPECT_EQ(ourStreamsPlaying(), 0);
    EXPECT_EQ(player.mode(), platform::MediaMode::NotOpen);
    ASSERT_TRUE(waitFor(notices, 1));
}

TEST_F(PulseMediaPlayerTest, UnreadableFileIsRefused) {
    QString error;
    EXPECT_FALSE(player.open(dir.filePath("missing.wav"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(player.play([] {}));
}
