#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Catches the termination signals a program can handle (SIGTERM, SIGINT,
// SIGHUP). The handler itself only writes the signal's number into a pipe;
// the event loop reads it and runs `onSignal` there, where anything may be
// done. A second signal of the same kind ends the program at once, so that
// a stuck event loop can still be ended. One instance at a time; the
// previous handlers come back when it goes.
class StartUpSignals : public QObject {
    Q_OBJECT
public:
    explicit StartUpSignals(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
    ~StartUpSignals() override;

private:
    void readSignals();

    std::function<void(int)> m_onSignal;
    int m_pipe[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
};
