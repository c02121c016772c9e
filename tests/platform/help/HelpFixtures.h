#pragma once

#include <QApplication>
#include <QString>

// The help files compiled from fixture/ at build time.
inline QString helpFixture(const QString& name) {
    return QStringLiteral(HELP_FIXTURE_DIR "/") + name;
}

// The one application object the widget tests need.
inline void ensureApplication() {
    if (QApplication::instance() != nullptr)
        return;
    static int argc = 1;
    static char name[] = "test_platform_help";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}
