#include "sound/PulseSound.h"

#include "platform/EnvOverride.h"
#include "platform/SilentServer.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// Writes a mono 16-bit PCM wave of a 440 Hz tone.
void writeTone(const QString& path, std::chrono::milliseconds length) {
    constexpr quint32 rate = 22050;
    const auto frames = static_cast<quint32>(rate * length.count() / 1000);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + frames * 2);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << rate << quint32(rate * 2) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(frames * 2);
    for (quint32 i = 0; i < frames; ++i)
        out << qint16(8000 * std::sin(2 * M_PI * 440 * i / rate));
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class PulseSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet("PULSE_SERVER") || sound.waveOutDeviceCount() == 0) {
            if (qgetenv("VERBARO_REQUIRE_SERVICES") == "1")
                FAIL() << "no PulseAudio server answers";
            GTEST_SKIP() << "no PulseAudio server (start scripts/services.sh)";
        }
    }
    QString path(const char* name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    platform::PulseSound sound;
};

// The server may give the stream's buffer to the sink a little ahead of
// real time, but never far ahead with the short buffer the player asks for.
TEST_F(PulseSoundTest, PlayWaveSyncReturnsOnlyAfterTheSoundHasPlayed) {
    constexpr auto length = 700ms;
    writeTone(path("tone.wav"), length);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(sound.playWaveSync(path("tone.wav")));
    EXPECT_GE(std::chrono::steady_clock::now() - start, length);
}

TEST_F(PulseSoundTest, CountsTheNullSink) {
    EXPECT_GE(sound.waveOutDeviceCount(), 1);
}

TEST_F(PulseSoundTest, FilesThatAreNoSoundAreNotPlayed) {
    writeBytes(path("text.wav"), "This is a note, not a recording.\n");
    writeBytes(path("empty.wav"), "");
    writeBytes(path("header.wav"), QByteArray("RIFF\x24\x00\x00\x00WAVEfmt ", 16));
    for (const char* name : {"missing.wav", "text.wav", "empty.wav", "header.wav"})
        EXPECT_FALSE(sound.playWaveSync(path(name))) << name;
    EXPECT_FALSE(sound.playWaveSync(dir.path())) << "a folder";
}

// No server at all: runs without one, and must neither hang nor raise.
TEST(PulseSoundNoServerTest, MissingServerMeansNoDeviceAndNoPlayback) {
    QTemporaryDir dir;
    writeTone(dir.filePath("tone.wav"), 100ms);
    EnvOverride server("PULSE_SERVER", "unix:" + dir.filePath("no-such-socket").toUtf8());
    platform::PulseSound sound;
    EXPECT_EQ(sound.waveOutDeviceCount(), 0);
    EXPECT_FALSE(sound.playWaveSync(dir.filePath("tone.wav")));
}

TEST(PulseSoundNoServerTest, ServerThatNeverAnswersIsGivenUpAfterTheTimeout) {
    QTemporaryDir dir;
    writeTone(dir.filePath("tone.wav"), 100ms);
    SilentServer silent(dir.filePath("native"));
    ASSERT_TRUE(silent.listening());
    EnvOverride server("PULSE_SERVER", "unix:" + dir.filePath("native").toUtf8());
    platform::PulseSound sound(300ms);
    EXPECT_EQ(sound.waveOutDeviceCount(), 0);
    EXPECT_FALSE(sound.playWaveSync(dir.filePath("tone.wav")));
}

// A sound server of its own for one test, on a machine without a sound card:
// PulseAudio then offers its placeholder sink "auto_null" ("Dummy Output").
class CardlessServer {
public:
    CardlessServer() {
        const QString daemon = QStandardPaths::findExecutable("pulseaudio");
        if (daemon.isEmpty() || QStandardPaths::findExecutable("pactl").isEmpty())
            return;
        m_socket = m_dir.filePath("native");
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("PULSE_SERVER");
        env.insert("XDG_RUNTIME_DIR", m_dir.path());
        process.setProcessEnvironment(env);
        process.setProgram(daemon);
        process.setArguments(
            {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--disallow-exit",
             "--log-target=stderr",
             "--load=module-native-protocol-unix auth-anonymous=1 socket=" + m_socket,
             "--load=module-always-sink"});
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(m_dir.filePath("pulse.log"));
        if (!process.startDetached(&m_pid))
            m_pid = 0;
    }
    ~CardlessServer() {
        if (m_pid > 0)
            ::kill(static_cast<pid_t>(m_pid), SIGTERM);
    }
    QByteArray address() const { return "unix:" + m_socket.toUtf8(); }
    bool started() const { return m_pid > 0; }

    // The names of the server's sinks, once `wanted` is among them (or empty
    // after 10 s).
    QStringList sinksOnce(const std::function<bool(const QStringList&)>& wanted) const {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10000) {
            const QStringList sinks = pactl({"list", "short", "sinks"});
            QStringList names;
            for (const QString& line : sinks)
                names << line.section('\t', 1, 1);
            if (wanted(names))
                return names;
            QThread::msleep(50);
        }
        return {};
    }
    QStringList pactl(const QStringList& args) const {
        QProcess process;
        process.start("pactl", QStringList{"-s", address()} + args);
        process.waitForFinished(5000);
        return QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

private:
    QTemporaryDir m_dir;
    QString m_socket;
    qint64 m_pid = 0;
};

TEST(PulseSoundCardlessTest, ThePlaceholderSinkIsNoDevice) {
    CardlessServer server;
    if (!server.started()) {
        if (qgetenv("VERBARO_REQUIRE_SERVICES") == "1")
            FAIL() << "pulseaudio cannot be started";
        GTEST_SKIP() << "no pulseaudio to start";
    }
    EnvOverride env("PULSE_SERVER", server.address());
    platform::PulseSound sound;
    ASSERT_EQ(server.sinksOnce([](const QStringList& s) { return s.contains("auto_null"); }),
              QStringList{"auto_null"});
    EXPECT_EQ(sound.waveOutDeviceCount(), 0);

    // A card comes: the placeholder goes, and the card counts.
    server.pactl({"load-module", "module-null-sink", "sink_name=card"});
    ASSERT_EQ(server.sinksOnce([](const QStringList& s) { return s == QStringList{"card"}; }),
              QStringList{"card"});
    EXPECT_EQ(sound.waveOutDeviceCount(), 1);
}

} // namespace
