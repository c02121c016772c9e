#pragma once

#include "process/HandlerGuard.h"

#include <QWidget>

class Program;
class QLabel;
class QTimer;

// The start-up window: an 800 x 600 splash picture on screen while the display
// is switched, the sound device checked and the lesson database opened.
class FrmMain : public QWidget {
    Q_OBJECT
public:
    explicit FrmMain(Program& program);

    // Loads the window on first use (running Form_Load), then shows it.
    void Show();

    void Form_Load();
    void Timer1_Timer();

    // Timer1's Enabled: set by the load handler. The timer runs once the
    // window has been painted, so the slow steps of its tick never run
    // behind a blank splash.
    bool timerEnabled() const { return m_timerEnabled; }

    QLabel* Image1;
    QTimer* Timer1;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void startTimerOncePainted();
    void WarnReadOnlyDatabase();

    Program& m_program;
    platform::HandlerGuard m_guard;
    bool m_loaded = false;
    bool m_timerEnabled = false;
    bool m_painted = false;
};
