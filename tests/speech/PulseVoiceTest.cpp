#include "speech/PulseVoice.h"
#include "PlatformError.h"
#include "SpeechTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

using platform::IVoice;
using platform::PulseVoice;

namespace {

constexpr int kQueueFile = IVoice::SVSFlagsAsync | IVoice::SVSFIsFilename;

// Records start (+n) and end (-n) events in the order they arrive.
class VoiceProbe : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_PULSE();
        if (!QCoreApplication::instance())
            m_app = std::make_unique<QCoreApplication>(m_argc, m_argv);
        m_voice = std::make_unique<PulseVoice>();
        QObject::connect(m_voice.get(), &IVoice::StartStream,
                         [this](qint32 n, const QVariant&) { events.push_back(n); });
        QObject::connect(m_voice.get(), &IVoice::EndStream,
                         [this](qint32 n, const QVariant&) { events.push_back(-n); });
    }

    QString tone(const QString& name, double seconds) {
        const QString path = speechtest::tempDir() + "/" + name + ".wav";
        if (!QFile::exists(path))
            speechtest::writeTone(path, seconds);
        return path;
    }

    // Lets events arrive until `count` have come or the time is up.
    void waitForEvents(std::size_t count, int ms = 5000) {
        QElapsedTimer timer;
        timer.start();
        while (events.size() < count && timer.elapsed() < ms)
            speechtest::pump(10);
    }

    void idleFor(int ms) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms)
            speechtest::pump(10);
    }

    int m_argc = 1;
    char m_arg0[8] = "test";
    char* m_argv[2] = {m_arg0, nullptr};
    std::unique_ptr<QCoreApplication> m_app;
    std::unique_ptr<PulseVoice> m_voice;
    std::vector<int> events;
};

TEST_F(VoiceProbe, PlaysQueuedFilesInOrderAndNumbersEachRunFromOne) {
    const QString clip = tone("short", 0.15);
    for (int run = 0; run < 2; ++run) {
        events.clear();
        EXPECT_EQ(m_voice->Speak(clip, kQueueFile), 1);
        EXPECT_EQ(m_voice->Speak(clip, kQueueFile), 2);
        EXPECT_EQ(m_voice->Speak(clip, kQueueFile), 3);
        // Nothing arrives inside the calls; the voice speaks until the last end.
        EXPECT_TRUE(events.empty());
        EXPECT_EQ(m_voice->Status().RunningState, IVoice::SRSEIsSpeaking);
        waitForEvents(6);
        EXPECT_EQ(events, (std::vector<int>{1, -1, 2, -2, 3, -3})) << "run " << run;
        EXPECT_EQ(m_voice->Status().RunningState, IVoice::SRSEDone);
    }
}

TEST_F(VoiceProbe, PurgeDropsPlayingAndQueuedStreams) {
    const QString clip = tone("long", 1.0);
    m_voice->Speak(clip, kQueueFile);
    m_voice->Speak(clip, kQueueFile);
    waitForEvents(1);
    ASSERT_EQ(events, std::vector<int>{1});

    EXPECT_EQ(m_voice->Speak("", IVoice::SVSFPurgeBeforeSpeak), 0);
    EXPECT_EQ(m_voice->Status().RunningState, IVoice::SRSEDone);
    idleFor(1500);
    EXPECT_EQ(events, std::vector<int>{1}) << "no event of a purged stream";

    events.clear();
    EXPECT_EQ(m_voice->Speak(tone("short", 0.15), kQueueFile), 1);
    waitForEvents(2);
    EXPECT_EQ(events, (std::vector<int>{1, -1}));
}

TEST_F(VoiceProbe, RefusesMissingAndNonWaveFiles) {
    const QString text = speechtest::tempDir() + "/not-a-wave.wav";
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("RIFF but not really a wave file at all");
    file.close();
    for (const QString& path : {speechtest::tempDir() + "/missing.wav", text}) {
        EXPECT_THROW(m_voice->Speak(path, kQueueFile), platform::PlatformError)
            << path.toStdString();
    }
    EXPECT_EQ(m_voice->Status().RunningState, IVoice::SRSEDone);
    idleFor(100);
    EXPECT_TRUE(events.empty());
}

} // namespace
