#include "com/VariantConvert.h"

#include "com/ComError.h"

#include <cmath>
#include <limits>

namespace platform::com {

double toDouble(const QVariant& value) {
    if (value.typeId() == QMetaType::QString) {
        bool ok = false;
        const double d = value.toString().trimmed().toDouble(&ok);
        if (!ok)
            throw ComError::typeMismatch();
        return d;
    }
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok)
        throw ComError::typeMismatch();
    return d;
}

namespace {

template <class Int> Int toWhole(const QVariant& value) {
    const double rounded = std::nearbyint(toDouble(value)); // half to even
    if (!(rounded >= std::numeric_limits<Int>::min() && rounded <= std::numeric_limits<Int>::max()))
        throw ComError::overflow();
    return static_cast<Int>(rounded);
}

} // namespace

std::int32_t toLong(const QVariant& value) {
    return toWhole<std::int32_t>(value);
}

std::int16_t toInteger(const QVariant& value) {
    return toWhole<std::int16_t>(value);
}

} // namespace platform::com
