#include "ui/QtMessageBox.h"

#include <QMessageBox>
#include <QPushButton>

namespace platform {

namespace {

QMessageBox::Icon toQt(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonSet {
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton escape;
};

ButtonSet toQt(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::OkCancel:
        return {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel};
    case MsgButtons::YesNo:
        return {QMessageBox::Yes | QMessageBox::No, QMessageBox::No};
    case MsgButtons::Ok:
        break;
    }
    return {QMessageBox::Ok, QMessageBox::Ok};
}

MsgAnswer fromQt(int button) {
    switch (button) {
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        return MsgAnswer::Ok;
    }
}

} // namespace

MsgAnswer QtMessageBox::show(const MessageRequest& request, QWidget* owner) {
    const ButtonSet set = toQt(request.buttons);
    QMessageBox box(toQt(request.icon), request.title, request.text, set.buttons, owner);
    box.setEscapeButton(set.escape);
    box.setWindowModality(request.systemModal || !owner ? Qt::ApplicationModal : Qt::WindowModal);
    if (request.systemModal)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return fromQt(box.exec());
}

} // namespace platform
