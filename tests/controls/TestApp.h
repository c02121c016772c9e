#pragma once

#include <QApplication>

// The one QApplication the widget tests need, created on first use and kept
// for the whole run.
inline void ensureApp() {
    static int argc = 1;
    static char name[] = "test_controls";
    static char* argv[] = {name, nullptr};
    static QApplication* app = QApplication::instance() ? nullptr : new QApplication(argc, argv);
    (void)app;
}
