// The virtual microphone the end-to-end tests speak through: speech written
// into it reaches the recogniser as the trainer runs it (the default
// PulseAudio source, PocketSphinx), so a dead pipeline fails here first.
#include "VirtualMicrophone.h"

#include "E2ESupport.h"
#include "speech/ISpeechGrammar.h"
#include "speech/PulseAudioSource.h"
#include "speech/RecoContext.h"
#include "speech/RecoResult.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using platform::IRecoContext;
using platform::ISpeechGrammar;

const QStringList kPhrases{"Welcome to Zorvik station", "How have you been",
                           "Fish and chips for two please"};

class VirtualMicrophoneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QCoreApplication::instance())
            s_app = new QCoreApplication(s_argc, s_argv);
    }

    void SetUp() override {
        if (const QString why = e2e::missingServices(e2e::Services::Sound); !why.isEmpty()) {
            if (e2e::servicesRequired())
                FAIL() << qPrintable(why);
            GTEST_SKIP() << qPrintable(why);
        }
    }

    QString writeGrammar() {
        QStringList lines{"<GRAMMAR LANGID=\"409\">", "<RULE NAME=\"dialog\" TOPLEVEL=\"ACTIVE\">",
                          "<P>", "<L>"};
        for (const QString& p : kPhrases)
            lines << "<P>" + p + "</P>";
        lines << "</L>"
              << "</P>"
              << "</RULE>"
              << "</GRAMMAR>";
        const QString path = dir.path() + "/~File.xml";
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write((lines.join("\r\n") + "\r\n").toLatin1());
        return path;
    }

    static inline QCoreApplication* s_app = nullptr;
    static inline int s_argc = 1;
    static inline char s_arg0[8] = "test";
    static inline char* s_argv[2] = {s_arg0, nullptr};
    QTemporaryDir dir;
};

TEST_F(VirtualMicrophoneTest, AnUtteranceReachesTheRecogniserThroughTheDefaultSource) {
    e2e::VirtualMicrophone mic;
    ASSERT_TRUE(mic.isValid()) << qPrintable(mic.error());
    EXPECT_EQ(e2e::run("pactl", {"get-default-source"}).trimmed(), mic.sourceName());

    // The recogniser as the trainer makes it: the default source, one grammar.
    platform::RecoContext context(std::make_unique<platform::PulseAudioSource>());
    QStringList heard;
    QStringList falseHeard;
    QObject::connect(&context, &IRecoContext::Recognition,
                     [&](qint32, const QVariant&, int, const platform::RecoResult& r) {
                         heard << r.PhraseInfo.GetText(0, -1, true);
                     });
    QObject::connect(&context, &IRecoContext::FalseRecognition,
                     [&](qint32, const QVariant&, const platform::RecoResult& r) {
                         falseHeard << r.PhraseInfo.GetText(0, -1, true);
                     });
    auto grammar = context.CreateGrammar(0);
    grammar->CmdLoadFromFile(writeGrammar(), ISpeechGrammar::SLODynamic);
    for (const char* name :
         {"HighConfidenceThreshold", "NormalConfidenceThreshold", "LowConfidenceThreshold"})
        context.Recognizer().SetPropertyNumber(name, 10);
    grammar->CmdSetRuleIdState(0, ISpeechGrammar::SGDSActive);

    const int ms = mic.say(kPhrases[1]);
    ASSERT_GT(ms, 1000) << "espeak-ng and sox make the speech";
    QElapsedTimer t;
    t.start();
    while (heard.isEmpty() && falseHeard.isEmpty() && t.elapsed() < ms + 15000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(heard, QStringList{kPhrases[1]})
        << "heard wrongly: " << qPrintable(falseHeard.join('|'));
    EXPECT_GE(t.elapsed(), ms - 1000) << "the speech came at the pace it is spoken";
}

TEST_F(VirtualMicrophoneTest, GivesTheFormerDefaultSourceBack) {
    const QString before = e2e::run("pactl", {"get-default-source"}).trimmed();
    {
        e2e::VirtualMicrophone mic;
        ASSERT_TRUE(mic.isValid()) << qPrintable(mic.error());
        EXPECT_NE(e2e::run("pactl", {"get-default-source"}).trimmed(), before);
    }
    EXPECT_EQ(e2e::run("pactl", {"get-default-source"}).trimmed(), before);
    EXPECT_FALSE(e2e::run("pactl", {"list", "short", "sources"}).contains("verbaro_mic"));
}

} // namespace
