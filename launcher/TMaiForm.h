#pragma once

#include <QDialog>

namespace platform {
class FlashPlayer;
}

// The intro movie window: borderless, captioned "flash", filling the screen,
// with the Flash player as its only control. It closes when the movie sends
// "Quit" or "Back" and frees itself when closed.
class TMaiForm : public QDialog {
    Q_OBJECT
public:
    explicit TMaiForm(QWidget* parent = nullptr);

    platform::FlashPlayer* ShockwaveFlash1;

    void ShockwaveFlash1FSCommand(const QString& command, const QString& arguments);

protected:
    void showEvent(QShowEvent* event) override;
};
