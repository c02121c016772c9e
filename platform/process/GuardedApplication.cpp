#include "process/GuardedApplication.h"

#include "process/IProgramEnd.h"

#include <exception>

namespace platform {

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (m_end)
            m_end->reportRuntimeError(QString::fromLocal8Bit(e.what()));
        else
            QCoreApplication::exit(1);
    } catch (...) {
        if (m_end)
            m_end->reportRuntimeError(QStringLiteral("unknown error"));
        else
            QCoreApplication::exit(1);
    }
    return false;
}

} // namespace platform
