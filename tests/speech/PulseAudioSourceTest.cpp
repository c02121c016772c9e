#include "speech/PulseAudioSource.h"
#include "SpeechTestSupport.h"
#include "sound/PulseSound.h"
#include "speech/RecoContext.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>
#include <thread>

using platform::PulseAudioSource;

namespace {

TEST(PulseAudioSource, CapturesTheDefaultSourceUntilStopped) {
    SKIP_WITHOUT_PULSE();
    PulseAudioSource source;
    source.start();
    std::vector<std::int16_t> block(480);
    std::size_t total = 0;
    while (total < 16000) { // one second of the null source's silence
        const std::size_t n = source.read(block.data(), block.size());
        ASSERT_GT(n, 0u);
        total += n;
    }
    // stop() releases a read blocked on another thread.
    std::thread reader([&] {
        while (source.read(block.data(), block.size()) > 0) {
        }
    });
    QThread::msleep(100);
    source.stop();
    reader.join();
    EXPECT_EQ(source.read(block.data(), block.size()), 0u);
}

TEST(PulseAudioSource, FeedsARecognitionContextThatHearsNothingInSilence) {
    SKIP_WITHOUT_PULSE();
    int argc = 1;
    char arg0[] = "test";
    char* argv[] = {arg0, nullptr};
    QCoreApplication app(argc, argv);
    platform::RecoContext context(std::make_unique<PulseAudioSource>());
    int events = 0;
    QObject::connect(&context, &platform::IRecoContext::FalseRecognition, [&] { ++events; });
    QObject::connect(&context, &platform::IRecoContext::Recognition, [&] { ++events; });
    auto grammar = context.CreateGrammar(0);
    const QString path = speechtest::tempDir() + "/silence-grammar.xml";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<GRAMMAR LANGID=\"409\">\r\n<RULE NAME=\"dialog\" TOPLEVEL=\"ACTIVE\">\r\n<P>\r\n"
               "<L>\r\n<P>Good morning</P>\r\n</L>\r\n</P>\r\n</RULE>\r\n</GRAMMAR>\r\n");
    file.close();
    grammar->CmdLoadFromFile(path, 1);
    grammar->CmdSetRuleIdState(0, 1);
    speechtest::pump(3000);
    EXPECT_EQ(events, 0);

    // The same pipeline, listening to what the null sink plays, hears a
    // sentence: silence above was heard, not a dead stream.
    const QString wave = speechtest::speak("Good morning");
    ASSERT_FALSE(wave.isEmpty()) << "espeak-ng is required";
    qputenv("PULSE_SOURCE", "nullsink.monitor");
    platform::RecoContext hearing(std::make_unique<PulseAudioSource>());
    qunsetenv("PULSE_SOURCE");
    QObject::connect(&hearing, &platform::IRecoContext::FalseRecognition, [&] { ++events; });
    QObject::connect(&hearing, &platform::IRecoContext::Recognition, [&] { ++events; });
    auto heard = hearing.CreateGrammar(0);
    heard->CmdLoadFromFile(path, 1);
    heard->CmdSetRuleIdState(0, 1);
    std::thread speaker([&wave] {
        QThread::msleep(300);
        // The monitor goes on with silence after it, which ends the utterance.
        platform::PulseSound().playWaveSync(wave);
    });
    for (int waited = 0; events == 0 && waited < 20000; waited += 50)
        speechtest::pump(50);
    speaker.join();
    EXPECT_EQ(events, 1);
}

} // namespace
