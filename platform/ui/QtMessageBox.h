#pragma once

#include "ui/IMessageBox.h"

namespace platform {

// Message boxes as Qt dialogs, modal to their owner (or to the whole program
// when system-modal is asked for).
class QtMessageBox : public IMessageBox {
public:
    MsgAnswer show(const MessageRequest& request, QWidget* owner) override;
};

} // namespace platform
