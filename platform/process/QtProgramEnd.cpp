#include "process/QtProgramEnd.h"

#include "ui/IMessageBox.h"

#include <QApplication>
#include <QWidget>

namespace platform {

void QtProgramEnd::endProgram(int status) {
    if (m_ending)
        return;
    m_ending = true;
    // Hide every window at once so nothing more can be clicked while the
    // event loop unwinds.
    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
    QCoreApplication::exit(status);
}

void QtProgramEnd::reportRuntimeError(const QString& what) {
    if (m_ending)
        return;
    m_messages.show({QStringLiteral("运行时错误：\n") + what, QStringLiteral("Verbaro"),
                     MsgButtons::Ok, MsgIcon::Critical, true});
    endProgram(1);
}

} // namespace platform
