#include "TMaiForm.h"

#include "flash/FlashPlayer.h"
#include "process/HandlerGuard.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

TMaiForm::TMaiForm(QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowSystemMenuHint),
      ShockwaveFlash1(new platform::FlashPlayer(this)) {
    setWindowTitle(QStringLiteral("flash"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ShockwaveFlash1);
    connect(ShockwaveFlash1, &platform::FlashPlayer::FSCommand, this,
            platform::HandlerGuard()([this](const QString& command, const QString& arguments) {
                ShockwaveFlash1FSCommand(command, arguments);
            }));
}

void TMaiForm::showEvent(QShowEvent* event) {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
    QDialog::showEvent(event);
}

void TMaiForm::ShockwaveFlash1FSCommand(const QString& command, const QString&) {
    // The movie's commands are matched exactly, letter case included.
    if (command == QLatin1String("Quit") || command == QLatin1String("Back")) {
        close();
        ShockwaveFlash1->stop();
    }
}
