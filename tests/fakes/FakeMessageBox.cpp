#include "FakeMessageBox.h"

using platform::MsgAnswer;
using platform::MsgButtons;

MsgAnswer FakeMessageBox::show(const platform::MessageRequest& request, QWidget*) {
    shown.push_back(request);
    if (!answers.empty()) {
        MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    return request.buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
}
