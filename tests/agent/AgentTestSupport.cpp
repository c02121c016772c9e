#include "AgentTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

namespace {

std::unique_ptr<QApplication> g_app;

// Owns the application for the whole test run and ends it before the
// program's own exit, while Qt's globals still exist.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void TearDown() override { g_app.reset(); }
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

} // namespace

void AgentTestSupport::ensureApplication(Screen screen) {
    if (g_app)
        return;
    const bool offscreen = screen == Screen::Offscreen || qEnvironmentVariableIsEmpty("DISPLAY");
    if (offscreen && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "agent_test";
    static char* argv[] = {name, nullptr};
    g_app = std::make_unique<QApplication>(argc, argv);
}

QString AgentTestSupport::characterFolder() {
    return QStringLiteral(VERBARO_CHAR_DIR);
}

QString AgentTestSupport::characterFile(const QString& name) {
    return characterFolder() + "/" + name + ".acs";
}

QString AgentTestSupport::scratchFolder() {
    const QString dir =
        qEnvironmentVariable("VERBARO_TEST_TMP", QStringLiteral(VERBARO_AGENT_TEST_TMP));
    QDir().mkpath(dir);
    return dir;
}

const std::vector<AgentTestSupport::CharacterCase>& AgentTestSupport::characters() {
    static const std::vector<CharacterCase> cases = {
        {"Genie",
         {"GestureLeft", "Congratulate", "Congratulate_2", "suggest", "uncertain", "stoplistening",
          "announce"}},
        {"Merlin",
         {"GestureLeft", "Congratulate", "Congratulate_2", "surprised", "confused", "dontrecognize",
          "stoplistening"}},
        {"Peedy",
         {"GestureLeft", "domagic1", "domagic2", "congratulate", "pleased", "surprised", "confused",
          "stoplistening", "decline"}},
        {"Robby", {"GestureLeft", "congratulate", "surprised", "stoplistening", "sad"}},
    };
    return cases;
}

bool AgentTestSupport::waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return true;
}

void AgentTestSupport::pump(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
}
