#include "mixer/PulseMixer.h"

#include "platform/EnvOverride.h"
#include "platform/SilentServer.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using platform::IMixer;
using platform::MixerControl;
using platform::MixerLine;
using namespace std::chrono_literals;

namespace {

// Asks the server with its own command-line tool; false when it fails.
bool runPactl(const QStringList& args, QString* out = nullptr) {
    QProcess p;
    p.start(QStringLiteral("pactl"), args);
    if (!p.waitForFinished(10000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return false;
    if (out)
        *out = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    return true;
}

QString pactl(const QStringList& args) {
    QString out;
    runPactl(args, &out);
    return out;
}

// The server's own volumes of every channel of a sink or source ("sink"/"source").
std::vector<int> channelVolumes(const char* kind, const QString& name) {
    const QString out = pactl({QStringLiteral("get-%1-volume").arg(kind), name});
    std::vector<int> volumes;
    static const QRegularExpression channel(QStringLiteral(":\\s*(\\d+)\\s*/"));
    for (auto it = channel.globalMatch(out); it.hasNext();)
        volumes.push_back(it.next().captured(1).toInt());
    return volumes;
}

class PulseMixerTest : public ::testing::Test {
protected:
    void SetUp() override {
        sink = pactl({"get-default-sink"});
        source = pactl({"get-default-source"});
        if (!qEnvironmentVariableIsSet("PULSE_SERVER") || sink.isEmpty() || source.isEmpty()) {
            if (qgetenv("VERBARO_REQUIRE_SERVICES") == "1")
                FAIL() << "no PulseAudio server answers";
            GTEST_SKIP() << "no PulseAudio server (start scripts/services.sh)";
        }
    }
    void TearDown() override {
        if (sink.isEmpty())
            return;
        runPactl({"set-default-source", source});
        runPactl({"set-sink-volume", sink, "100%"});
        runPactl({"set-source-volume", source, "100%"});
    }

    QString sink;
    QString source;
    platform::PulseMixer mixer;
};

TEST_F(PulseMixerTest, ReadsAndSetsTheDefaultSinkAndSourceVolumes) {
    struct Case {
        MixerLine line;
        const char* kind;
        QString name;
    } cases[] = {{MixerLine::Speaker, "sink", sink}, {MixerLine::Microphone, "source", source}};
    IMixer::Opened opened = mixer.open();
    ASSERT_EQ(opened.result, 0);
    ASSERT_TRUE(opened.device);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const std::optional<MixerControl> control = opened.device->findVolumeControl(c.line);
        ASSERT_TRUE(control);
        EXPECT_NE(control->id, 0u);
        EXPECT_EQ(control->minimum, 0u);
        EXPECT_EQ(control->maximum, 65535u);

        // What the server holds is what the mixer reads: 100 % is the top of the range.
        const QString set = QStringLiteral("set-%1-volume").arg(c.kind);
        const std::pair<const char*, std::uint32_t> levels[] = {
            {"100%", 65535}, {"0%", 0}, {"50%", 32768}};
        for (const auto& [percent, level] : levels) {
            ASSERT_TRUE(runPactl({set, c.name, percent}));
            const std::optional<std::uint32_t> read = opened.device->readValue(*control);
            ASSERT_TRUE(read) << percent;
            EXPECT_NEAR(double(*read), double(level), 1.0) << percent;
        }

        // What the mixer writes is what the server then holds.
        for (std::uint32_t level : {16384u, 65535u, 0u, 40000u}) {
            ASSERT_TRUE(opened.device->writeValue(*control, level)) << level;
            for (int v : channelVolumes(c.kind, c.name))
                EXPECT_NEAR(v, level * 65536.0 / 65535.0, 1.0) << level;
        }
        EXPECT_FALSE(opened.device->writeValue(*control, 65536)) << "beyond the range";
    }
}

TEST_F(PulseMixerTest, SettingALevelKeepsTheBalanceOfTheChannels) {
    ASSERT_EQ(channelVolumes("sink", sink).size(), 2u) << "the test sink is stereo";
    ASSERT_TRUE(runPactl({"set-sink-volume", sink, "40%", "80%"}));
    IMixer::Opened opened = mixer.open();
    ASSERT_TRUE(opened.device);
    const std::optional<MixerControl> speaker =
        opened.device->findVolumeControl(MixerLine::Speaker);
    ASSERT_TRUE(speaker);
    EXPECT_NEAR(double(*opened.device->readValue(*speaker)), 0.8 * 65535, 2.0)
        << "the louder channel";
    ASSERT_TRUE(opened.device->writeValue(*speaker, 32768));
    const std::vector<int> volumes = channelVolumes("sink", sink);
    ASSERT_EQ(volumes.size(), 2u);
    EXPECT_NEAR(volumes[1], 32768, 2);
    EXPECT_NEAR(volumes[0], 16384, 2);
}

// A monitor of the speaker's output is the only source left: no microphone.
TEST_F(PulseMixerTest, AMonitorIsNoMicrophone) {
    ASSERT_TRUE(runPactl({"set-default-source", sink + ".monitor"}));
    ASSERT_EQ(pactl({"get-default-source"}), sink + ".monitor");
    IMixer::Opened opened = mixer.open();
    ASSERT_TRUE(opened.device);
    EXPECT_FALSE(opened.device->findVolumeControl(MixerLine::Microphone));
    const std::optional<MixerControl> speaker =
        opened.device->findVolumeControl(MixerLine::Speaker);
    ASSERT_TRUE(speaker);
    EXPECT_TRUE(opened.device->writeValue(*speaker, 30000));
    EXPECT_FALSE(opened.device->writeValue(MixerControl{}, 30000)) << "a control never found";
}

TEST_F(PulseMixerTest, ClosingTheMixerEndsItsConnection) {
    const auto connected = [] {
        return pactl({"list", "clients"}).contains(QLatin1String("Verbaro mixer"));
    };
    // The server notices a closed connection a moment later.
    const auto gone = [&connected] {
        QElapsedTimer t;
        t.start();
        while (connected() && t.elapsed() < 5000)
            QThread::msleep(50);
        return !connected();
    };
    ASSERT_TRUE(gone()) << "mixers of earlier tests are closed";
    IMixer::Opened opened = mixer.open();
    ASSERT_TRUE(opened.device);
    EXPECT_TRUE(connected());
    opened.device.reset();
    EXPECT_TRUE(gone());
}

// No server at all, or one that never answers: no mixer, and no hang.
TEST(PulseMixerNoServerTest, MissingOrSilentServerGivesNoMixer) {
    QTemporaryDir dir;
    SilentServer silent(dir.filePath("native"));
    ASSERT_TRUE(silent.listening());
    for (const char* socket : {"no-such-socket", "native"}) {
        EnvOverride server("PULSE_SERVER", "unix:" + dir.filePath(socket).toUtf8());
        platform::PulseMixer mixer(300ms);
        QElapsedTimer t;
        t.start();
        IMixer::Opened opened = mixer.open();
        EXPECT_NE(opened.result, 0) << socket;
        EXPECT_EQ(opened.result, IMixer::NoDriver) << socket;
        EXPECT_FALSE(opened.device) << socket;
        EXPECT_LT(t.elapsed(), 5000) << socket;
    }
}

} // namespace
