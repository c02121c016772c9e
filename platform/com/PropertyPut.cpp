#include "com/PropertyPut.h"

namespace platform::com {

namespace {
constexpr const char* kPending = "comPendingError";
}

void PropertyPut::keep(QObject& control, int number, const QString& description) noexcept {
    try {
        control.setProperty(kPending, QVariantList{number, description});
    } catch (...) {
        // No memory to keep the error: the put is refused all the same.
    }
}

bool PropertyPut::write(QObject& control, const char* name, const QVariant& value) {
    control.setProperty(kPending, QVariant());
    const bool known = control.setProperty(name, value);
    const QVariantList pending = control.property(kPending).toList();
    if (pending.size() == 2) {
        control.setProperty(kPending, QVariant());
        throw ComError(pending[0].toInt(), pending[1].toString());
    }
    return known;
}

} // namespace platform::com
