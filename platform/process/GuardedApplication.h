#pragma once

#include <QApplication>

namespace platform {

class IProgramEnd;

// The application object of our programs. A platform failure that no handler
// trapped reaches the run-time error report instead of tearing the program
// down in the middle of an event.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    void setProgramEnd(IProgramEnd* end) { m_end = end; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    IProgramEnd* m_end = nullptr;
};

} // namespace platform
