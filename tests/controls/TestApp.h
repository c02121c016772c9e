#pragma once

#include <QApplication>

// The one QApplication the widget tests need, created on first use and kept
// for the whole run. Tests that need no X server run on the offscreen
// platform unless told otherwise (the test registration's environment list
// does not reach discovered tests whole).
inline void ensureApp(bool onDisplay = false) {
    if (!onDisplay && !QCoreApplication::instance() &&
        !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_controls";
    static char* argv[] = {name, nullptr};
    static QApplication* app = QApplication::instance() ? nullptr : new QApplication(argc, argv);
    (void)app;
}
