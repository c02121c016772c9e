#pragma once

#include <QString>

class QWidget;

namespace platform {

enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgIcon { None, Information, Exclamation, Critical, Question };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct MessageRequest {
    QString text;
    QString title;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    bool systemModal = false;
};

// The platform's message box: shows a text and returns the learner's answer.
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual MsgAnswer show(const MessageRequest& request, QWidget* owner = nullptr) = 0;
};

} // namespace platform
