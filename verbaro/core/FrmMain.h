#pragma once

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

    QLabel* Image1;
    QTimer* Timer1;

private:
    Program& m_program;
    bool m_loaded = false;
};
