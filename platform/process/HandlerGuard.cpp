#include "process/HandlerGuard.h"

#include "PlatformError.h"
#include "process/IProgramEnd.h"

#include <QCoreApplication>
#include <QString>
#include <cstdio>
#include <new>

namespace platform {

QString HandlerGuard::describe(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const PlatformError& e) {
        return e.message();
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("unknown error");
    }
}

void HandlerGuard::report(std::exception_ptr failure) const noexcept {
    if (!failure)
        return;
    try {
        const QString what = describe(failure);
        if (m_end) {
            m_end->reportRuntimeError(what);
            return;
        }
        std::fprintf(stderr, "%s\n", qPrintable(what));
    } catch (...) {
        // The report itself failed (no memory for the box): end all the same.
    }
    QCoreApplication::exit(1);
}

} // namespace platform
