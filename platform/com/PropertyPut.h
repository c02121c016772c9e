#pragma once

#include "com/ComError.h"

#include <QObject>
#include <QVariant>

namespace platform::com {

// A control's property put across Qt's property system, which cannot carry
// an error. The control's write accessor runs the put behind guard(): a
// refused value leaves its error on the control instead of unwinding through
// Qt. The host writes with write(), which takes that error and raises it in
// the host's own code, where the caller handles it as before.
class PropertyPut {
public:
    template <class F> static void guard(QObject& control, F&& put) noexcept {
        try {
            put();
        } catch (const ComError& e) {
            keep(control, e.number(), QString::fromStdString(e.what()));
        } catch (const std::exception& e) {
            keep(control, 0, QString::fromLocal8Bit(e.what()));
        } catch (...) {
            keep(control, 0, QStringLiteral("unknown error"));
        }
    }

    // Sets the property by name; a refused value raises the control's
    // ComError. Returns false when the control has no such property.
    static bool write(QObject& control, const char* name, const QVariant& value);

private:
    static void keep(QObject& control, int number, const QString& description) noexcept;
};

} // namespace platform::com
