#include "speech/RecoContext.h"
#include "FileAudioSource.h"
#include "PlatformError.h"
#include "SpeechTestSupport.h"
#include "speech/IRecognizer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

using platform::IRecoContext;
using platform::ISpeechGrammar;
using platform::RecoContext;

namespace {

// A lesson's grammar as the exercise window writes it (entities escaped here,
// as a well-formed file must have them).
const QStringList kLesson{"Lucy Is that you", "Tom What a surprise I haven't seen you for ages",
                          "I know How have you been", "Fish &amp; chips for two please",
                          "Welcome to Zorvik station"};

struct Event {
    bool recognised;
    QString text;
    int confidence;
};

class RecoContextTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!QCoreApplication::instance())
            s_app = new QCoreApplication(s_argc, s_argv);
    }

    void SetUp() override {
        if (speechtest::speak("hello").isEmpty()) {
            if (speechtest::servicesRequired())
                FAIL() << "espeak-ng is required";
            GTEST_SKIP() << "espeak-ng is missing";
        }
        auto source = std::make_unique<FileAudioSource>();
        m_source = source.get();
        m_context = std::make_unique<RecoContext>(std::move(source));
        QObject::connect(m_context.get(), &IRecoContext::Recognition,
                         [this](qint32, const QVariant&, int, const platform::RecoResult& r) {
                             events.push_back({true, r.PhraseInfo.GetText(0, -1, true),
                                               r.PhraseInfo.confidence});
                         });
        QObject::connect(m_context.get(), &IRecoContext::FalseRecognition,
                         [this](qint32, const QVariant&, const platform::RecoResult& r) {
                             events.push_back({false, r.PhraseInfo.GetText(0, -1, true),
                                               r.PhraseInfo.confidence});
                         });
        m_grammar = m_context->CreateGrammar(0);
        m_grammar->CmdLoadFromFile(writeGrammar(kLesson), ISpeechGrammar::SLODynamic);
        m_grammar->CmdSetRuleIdState(0, ISpeechGrammar::SGDSInactive);
        setDifficulty(1);
    }

    void TearDown() override {
        m_grammar.reset();
        m_context.reset();
    }

    QString writeGrammar(const QStringList& phrases) {
        QStringList lines{"<GRAMMAR LANGID=\"409\">", "<RULE NAME=\"dialog\" TOPLEVEL=\"ACTIVE\">",
                          "<P>", "<L>"};
        for (const QString& p : phrases)
            lines << "<P>" + p + "</P>";
        lines << "</L>"
              << "</P>"
              << "</RULE>"
              << "</GRAMMAR>";
        const QString path = speechtest::tempDir() + "/~File.xml";
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write((lines.join("\r\n") + "\r\n").toLatin1());
        return path;
    }

    void setDifficulty(int level) {
        for (const char* name :
             {"HighConfidenceThreshold", "NormalConfidenceThreshold", "LowConfidenceThreshold"})
            m_context->Recognizer().SetPropertyNumber(name, level * 10);
    }

    // Says `text` to the recogniser and waits for its event (or for the
    // audio to be used up and a little more).
    void say(const QString& text, const QString& voice = "en-us+m3", int speed = 160) {
        const QString wave = speechtest::speak(text, voice, speed);
        ASSERT_FALSE(wave.isEmpty());
        const std::size_t before = events.size();
        m_source->feedSilence(0.5);
        m_source->feedFile(wave);
        m_source->feedSilence(1.2);
        QElapsedTimer timer;
        timer.start();
        int afterDrain = 0;
        while (events.size() == before && timer.elapsed() < 60000 && afterDrain < 30) {
            speechtest::pump(20);
            if (m_source->drained())
                ++afterDrain;
        }
    }

    void listen() { m_grammar->CmdSetRuleIdState(0, ISpeechGrammar::SGDSActive); }

    static inline QCoreApplication* s_app = nullptr;
    static inline int s_argc = 1;
    static inline char s_arg0[8] = "test";
    static inline char* s_argv[2] = {s_arg0, nullptr};
    FileAudioSource* m_source = nullptr;
    std::unique_ptr<RecoContext> m_context;
    std::unique_ptr<ISpeechGrammar> m_grammar;
    std::vector<Event> events;
};

TEST_F(RecoContextTest, EachLessonSentenceComesBackAsItself) {
    const QStringList said{"Lucy, is that you?", "I know. How have you been?",
                           "Tom! What a surprise, I haven't seen you for ages."};
    const QStringList heard{kLesson[0], kLesson[2], kLesson[1]};
    for (int i = 0; i < said.size(); ++i) {
        listen();
        say(said[i]);
        ASSERT_EQ(events.size(), static_cast<std::size_t>(i + 1)) << said[i].toStdString();
        EXPECT_TRUE(events.back().recognised)
            << said[i].toStdString() << " heard as " << events.back().text.toStdString() << " ("
            << events.back().confidence << ")";
        EXPECT_EQ(events.back().text, heard[i]);
    }
}

TEST_F(RecoContextTest, AmpersandAndUnknownWordsWork) {
    listen();
    say("Fish and chips for two, please.", "en-gb+f3", 150);
    listen();
    say("Welcome to Zorvik station.", "en-us+f2", 150);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_TRUE(events[0].recognised);
    EXPECT_EQ(events[0].text, "Fish & chips for two please");
    EXPECT_TRUE(events[1].recognised);
    EXPECT_EQ(events[1].text, "Welcome to Zorvik station");
}

// The program's file: Windows-1252, texts escaped; results carry the texts unescaped.
TEST_F(RecoContextTest, EscapedAndCodePageTextsComeBackAsTheSentences) {
    m_grammar->CmdLoadFromFile(
        writeGrammar({"Tom &amp; Jerry are here", "Say &lt;hello&gt; to &quot;Anna&quot;",
                      QString::fromUtf8("Caf\u00e9 for two please")}),
        ISpeechGrammar::SLODynamic);
    const std::pair<QString, QString> cases[] = {
        {"Tom and Jerry are here.", "Tom & Jerry are here"},
        {"Say hello to Anna.", "Say <hello> to \"Anna\""},
        {QString::fromUtf8("Caf\u00e9 for two, please."),
         QString::fromUtf8("Caf\u00e9 for two please")},
    };
    for (const auto& [said, heard] : cases) {
        listen();
        say(said);
        ASSERT_FALSE(events.empty()) << said.toStdString();
        EXPECT_TRUE(events.back().recognised)
            << said.toStdString() << " (" << events.back().confidence << ")";
        EXPECT_EQ(events.back().text, heard);
        events.clear();
    }
}

TEST_F(RecoContextTest, SpeechOutsideTheGrammarIsAFalseRecognition) {
    setDifficulty(1);
    const std::pair<QString, QString> outside[] = {
        {"The weather is terrible today.", "en-us+m3"},
        {"Where is the nearest station?", "en-gb+f3"},
        {QString::fromUtf8("\u4f60\u597d\uff0c\u5f88\u9ad8\u5174\u8ba4\u8bc6\u4f60\u3002"), "cmn"},
    };
    for (const auto& [text, voice] : outside) {
        listen();
        say(text, voice);
        ASSERT_FALSE(events.empty()) << text.toStdString();
        EXPECT_FALSE(events.back().recognised)
            << text.toStdString() << " heard as " << events.back().text.toStdString();
        events.clear();
    }
}

TEST_F(RecoContextTest, NothingIsJudgedWhileTheRuleIsInactive) {
    say("Lucy, is that you?");
    EXPECT_TRUE(events.empty());
    listen();
    m_grammar->CmdSetRuleIdState(0, ISpeechGrammar::SGDSInactive);
    say("Lucy, is that you?");
    EXPECT_TRUE(events.empty());
    // Active again, the same set-up hears the sentence: the silence above
    // came from the inactive rule, not from a dead pipeline.
    listen();
    say("Lucy, is that you?");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].recognised);
}

TEST_F(RecoContextTest, ReportsOnlyTheEventsAskedFor) {
    m_context->SetEventInterests(IRecoContext::SREFalseRecognition);
    listen();
    say("Lucy, is that you?");
    EXPECT_TRUE(events.empty()) << "a recognition was not asked for";
    say("The weather is terrible today.");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_FALSE(events[0].recognised);

    m_context->SetEventInterests(IRecoContext::SRERecognition);
    EXPECT_EQ(m_context->EventInterests(), IRecoContext::SRERecognition);
    events.clear();
    listen();
    say("The weather is terrible today.");
    EXPECT_TRUE(events.empty()) << "a false recognition was not asked for";
    say("Lucy, is that you?");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].recognised);
}

// A lost microphone is told when it goes, and again whenever a rule is set
// active before it is back (a rule may have been left active while nobody
// listened); once it is back, the learner is heard again.
TEST_F(RecoContextTest, MicrophoneLostIsToldAgainWheneverARuleIsSetActive) {
    int lost = 0;
    QObject::connect(m_context.get(), &IRecoContext::SourceLost, [&lost] { ++lost; });
    listen();
    m_source->unplug();
    for (int i = 0; i < 250 && lost == 0; ++i)
        speechtest::pump(20);
    ASSERT_EQ(lost, 1);
    listen(); // already active
    speechtest::pump(50);
    EXPECT_EQ(lost, 2);
    m_grammar->CmdSetRuleIdState(0, ISpeechGrammar::SGDSInactive);
    speechtest::pump(50);
    EXPECT_EQ(lost, 2);

    const int starts = m_source->starts;
    m_source->plugIn();
    for (int i = 0; i < 250 && m_source->starts == starts; ++i)
        speechtest::pump(20);
    ASSERT_GT(m_source->starts, starts) << "the microphone was not opened again";
    speechtest::pump(100);
    listen();
    speechtest::pump(50);
    EXPECT_EQ(lost, 2);
    say("Lucy, is that you?");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].recognised);
}

TEST_F(RecoContextTest, ThresholdsAndGrammarErrors) {
    EXPECT_EQ(m_context->Recognizer().GetPropertyNumber("NormalConfidenceThreshold"), 10);
    EXPECT_THROW(m_context->Recognizer().SetPropertyNumber("NoSuchThreshold", 10),
                 platform::PlatformError);
    EXPECT_THROW(m_context->Recognizer().SetPropertyNumber("LowConfidenceThreshold", 101),
                 platform::PlatformError);
    auto grammar = m_context->CreateGrammar(0);
    EXPECT_THROW(grammar->CmdLoadFromFile(writeGrammar({"Fish & chips"}), 1),
                 platform::PlatformError);
    EXPECT_THROW(grammar->CmdLoadFromFile(speechtest::tempDir() + "/missing.xml", 1),
                 platform::PlatformError);
    EXPECT_THROW(grammar->CmdSetRuleIdState(5, 1), platform::PlatformError);
}

} // namespace
