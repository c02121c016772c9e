#pragma once

#include <QApplication>

namespace platform {

class IProgramEnd;

// The application object of our programs. Every handler of ours runs behind
// a HandlerGuard, which reports its failures; notify() is only the last net
// for a failure nothing trapped, sent to the same run-time error report.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    void setProgramEnd(IProgramEnd* end) { m_end = end; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    IProgramEnd* m_end = nullptr;
};

} // namespace platform
