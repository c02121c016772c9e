// The sound server of the learner's session failing under the exercise
// window, with the real speech service on a PulseAudio server of the test's
// own: killed in the middle of a mode and started again; a microphone
// (recording source) that is not there. The learner gets a message and can
// practise again once the sound is back, never a crash or a window that
// stops answering.
#include "SoundServer.h"
#include "ExerFixture.h"
#include "SpeechTestSupport.h"
#include "core/generalsub.h"
#include "exercise/ExerModes.h"
#include "exercise/frmExer.h"
#include "speech/IVoice.h"
#include "speech/SpeechFactory.h"
#include "widgets/FlexGrid.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <functional>

namespace {

// Sets an environment variable for the test's lifetime.
class EnvSet {
public:
    EnvSet(const char* name, const QString& value) : m_name(name), m_old(qgetenv(name)) {
        m_had = qEnvironmentVariableIsSet(name);
        qputenv(name, value.toLocal8Bit());
    }
    ~EnvSet() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    QByteArray m_old;
    bool m_had = false;
};

class SoundServerTest : public ExerFixture {
protected:
    void SetUp() override {
        m_server = std::make_unique<SoundServer>(m_run.path() + "/pulse");
        if (!m_server->start())
            GTEST_SKIP() << qPrintable(m_server->why());
        m_env = std::make_unique<EnvSet>("PULSE_SERVER", m_server->address());
        ExerFixture::SetUp();
        fake.platform.speech = &speech;
        const QString lessonDir = folder.path() + "/lst/030101";
        QDir().mkpath(lessonDir);
        for (int i = 1; i <= 3; ++i)
            speechtest::writeTone(lessonDir + QString("/0301010000%1").arg(i) + "2.wav", 0.8);
    }
    void TearDown() override {
        ExerFixture::TearDown();
        m_env.reset();
        m_server.reset();
    }

    // Runs read-all to its end; returns the streams started and how long it took.
    std::pair<int, qint64> ReadAll(const std::function<void(int)>& onStart = {}) {
        frmExer& w = exer();
        int started = 0;
        const auto connection = QObject::connect(w.priVoice.get(), &platform::IVoice::StartStream,
                                                 &w, [&](qint32, const QVariant&) {
                                                     ++started;
                                                     if (onStart)
                                                         onStart(started);
                                                 });
        QElapsedTimer clock;
        clock.start();
        w.modes().CmdReadAll_Click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return w.CurMode == 0; }, 20000))
            << "the mode never ended";
        QObject::disconnect(connection);
        return {started, clock.elapsed()};
    }
    void ExpectNoFailureReport() {
        EXPECT_FALSE(fake.programEnd.endedWith);
        EXPECT_TRUE(fake.programEnd.runtimeErrors.isEmpty())
            << qPrintable(fake.programEnd.runtimeErrors.join("; "));
    }
    bool RecogniserListens() {
        return QTest::qWaitFor([&] { return m_server->list("source-outputs").contains("\t"); },
                               10000);
    }

    QTemporaryDir m_run{QDir::tempPath() + "/vfs-XXXXXX"}; // short: it holds a socket
    std::unique_ptr<SoundServer> m_server;
    std::unique_ptr<EnvSet> m_env;
    platform::SpeechFactory speech;
};

TEST_F(SoundServerTest, ServerKilledInTheMiddleOfAModeAndStartedAgain) {
    LoadLesson("030101");
    ASSERT_TRUE(RecogniserListens());

    // Killed while the first recording plays: the mode stops there and the
    // learner is told why, once.
    const auto [started, ms] = ReadAll([&](int n) {
        if (n == 1)
            m_server->kill();
    });
    EXPECT_EQ(started, 1) << "the recordings queued behind the failed one are dropped";
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text,
              QStringLiteral("声音播放中断，练习已停止。请检查扬声器后重试！"));
    EXPECT_EQ(fake.messages.shown[0].title, QStringLiteral("错误"));
    EXPECT_EQ(exer().StreamMode, 0);
    ExpectNoFailureReport();
    fake.messages.shown.clear();

    // Back again: the next run is heard to its end (three recordings of
    // 0.8 s), and the recogniser listens to the microphone again.
    ASSERT_TRUE(m_server->start()) << qPrintable(m_server->why());
    const auto [again, took] = ReadAll();
    EXPECT_EQ(again, 3);
    EXPECT_GE(took, 2000) << "the recordings did not really play";
    EXPECT_TRUE(RecogniserListens()) << "the recogniser stayed deaf";
    ExpectNoFailureReport();
    for (const auto& box : fake.messages.shown)
        ADD_FAILURE() << qPrintable(box.text);
}

TEST_F(SoundServerTest, ServerKilledWhileTheLearnerIsToSpeak) {
    frmExer& w = LoadLesson("030101");
    program->vars.AgentChar = fake.agent.character("Merlin");
    ASSERT_TRUE(RecogniserListens());
    w.EGrid->SetRow(1);
    w.modes().CmdFollowOne_Click();
    // The model sentence plays; then the learner's turn, until the microphone goes.
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.Label1->text() == "Please Say"; }, 10000))
        << qPrintable(w.Label1->text());
    m_server->kill();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.CurMode == 0; }, 10000)) << "the mode never ended";
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text,
              QStringLiteral("麦克风录音中断，练习已停止。请检查麦克风后重试！"));
    ExpectNoFailureReport();
}

// The server gone under read-all and still gone when the learner starts the
// monologue, which listens at once: the learner is told about the microphone
// instead of waiting at "Please Say"; with the server back, the monologue is
// heard again.
TEST_F(SoundServerTest, ModeThatListensStartedWhileTheServerIsStillGone) {
    frmExer& w = LoadLesson("030101");
    ASSERT_TRUE(RecogniserListens());
    ReadAll([&](int n) {
        if (n == 1)
            m_server->kill();
    });
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    fake.messages.shown.clear();

    w.modes().cmdrecord_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.CurMode == 0; }, 10000))
        << "the learner was left waiting";
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text,
              QStringLiteral("麦克风录音中断，练习已停止。请检查麦克风后重试！"));
    ExpectNoFailureReport();

    fake.messages.shown.clear();
    ASSERT_TRUE(m_server->start()) << qPrintable(m_server->why());
    ASSERT_TRUE(RecogniserListens()) << "the recogniser stayed deaf";
    w.modes().cmdrecord_Click();
    QTest::qWait(1500);
    EXPECT_EQ(w.CurMode, 6) << "the monologue stopped with the microphone back";
    EXPECT_EQ(w.Label1->text(), "Please Say");
    for (const auto& box : fake.messages.shown)
        ADD_FAILURE() << qPrintable(box.text);
    w.SetcmdStop(w.CurMode, 0);
    ExpectNoFailureReport();
}

TEST_F(SoundServerTest, LessonWithoutMicrophoneOrServerIsNotOpenedAndSaysWhy) {
    struct Case {
        const char* name;
        std::function<void()> fault;
        std::function<void()> mend;
    };
    std::unique_ptr<EnvSet> unplugged;
    const Case cases[] = {
        {"microphone unplugged",
         [&] { unplugged = std::make_unique<EnvSet>("PULSE_SOURCE", "unplugged_microphone"); },
         [&] { unplugged.reset(); }},
        {"sound server gone", [&] { m_server->kill(); }, [&] { ASSERT_TRUE(m_server->start()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.fault();
        fake.messages.shown.clear();
        SelectUnitRow("030101");
        OpenLesson(*program);
        ASSERT_EQ(fake.messages.shown.size(), 1u);
        const auto& box = fake.messages.shown[0];
        EXPECT_EQ(box.title, QStringLiteral("错误"));
        EXPECT_TRUE(
            box.text.startsWith(QStringLiteral("无法打开课文：声音设备（麦克风或扬声器）不可用。")))
            << qPrintable(box.text);
        EXPECT_FALSE(program->forms.isLoaded<frmExer>());
        ExpectNoFailureReport();
        // Mended, the lesson opens.
        c.mend();
        LoadLesson("030101");
        EXPECT_TRUE(RecogniserListens());
        exer().Unload();
    }
}

} // namespace
