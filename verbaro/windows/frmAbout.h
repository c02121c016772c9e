#pragma once

#include "process/HandlerGuard.h"
#include "registry/IRegistry.h"

#include <QDialog>

class AboutButton;
class Program;
class QLabel;

// The about window: the program's title and version, the maker's lines, and
// a button that starts the desktop's system-information program (the one
// registered where the platform keeps it).
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(Program& program);

    // Loads the window on first use (running Form_Load), then shows it
    // modally: returns when it has been closed (and unloaded).
    void Show();

    void Form_Load();
    void Form_MouseMove(int Button, int Shift, double X, double Y);
    void cmdOK_Click();
    void cmdOK_MouseMove(int Button, int Shift, double X, double Y);
    void cmdsysinfo_Click();
    void cmdsysinfo_MouseMove(int Button, int Shift, double X, double Y);

    // Starts the system-information program registered under the local
    // machine's "SOFTWARE\Microsoft\Shared Tools\MSINFO" (value "PATH"), else
    // "MSINFO32.EXE" in the folder under "...\Shared Tools Location" (value
    // "MSINFO"); says "此时系统信息不可用" when neither is there or it
    // cannot be started.
    void StartSysInfo();

    // Reads the value `SubKeyRef` of key `KeyName` below `KeyRoot` into
    // `KeyVal`: a string as it is, a 32-bit number as its decimal text. False
    // (and `KeyVal` empty) when the key or the value is missing or the value
    // is longer than 1023 characters.
    bool GetKeyValue(platform::RegRoot KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                     QString& KeyVal);

    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* lblDisclaimer;
    QLabel* Image2; // holds the buttons' background picture
    AboutButton* cmdOK;
    AboutButton* cmdsysinfo;

    void done(int result) override;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRect scaled(int x, int y, int w, int h) const;

    Program& m_program;
    platform::HandlerGuard m_guard;
    bool m_loaded = false;
    double m_layoutScale = 1.0;
};
