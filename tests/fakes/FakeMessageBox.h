#pragma once

#include "ui/IMessageBox.h"

#include <deque>
#include <vector>

// Records every message shown and answers from a queue (the first button's
// answer when the queue is empty).
class FakeMessageBox : public platform::IMessageBox {
public:
    platform::MsgAnswer show(const platform::MessageRequest& request, QWidget* owner) override;

    std::vector<platform::MessageRequest> shown;
    std::deque<platform::MsgAnswer> answers;
};
