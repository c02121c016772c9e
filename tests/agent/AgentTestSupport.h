#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// Shared by the agent tests: the application object, where the built
// character files are, and the animations the trainer plays per character.
class AgentTestSupport {
public:
    struct CharacterCase {
        QString name;
        QStringList animations; // exact names, as the trainer asks for them
    };

    enum class Screen { Offscreen, X11 };
    // Creates the QApplication once: on Qt's offscreen platform, or on the X
    // server when asked for and DISPLAY is set.
    static void ensureApplication(Screen screen = Screen::Offscreen);
    // The folder the build wrote the character files into.
    static QString characterFolder();
    static QString characterFile(const QString& name);
    // The test's own scratch folder (VERBARO_TEST_TMP), created on demand.
    static QString scratchFolder();
    static const std::vector<CharacterCase>& characters();
    // Processes window events until `done` holds; false after `timeoutMs`.
    static bool waitUntil(const std::function<bool()>& done, int timeoutMs = 10000);
    // Processes window events for `ms`.
    static void pump(int ms);
};
