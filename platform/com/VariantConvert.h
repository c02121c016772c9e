#pragma once

#include <QVariant>

#include <cstdint>

namespace platform::com {

// The platform's conversions of a variant to whole numbers: numbers round
// half to even, text is read as a number; out of range raises Overflow (6),
// anything else Type mismatch (13).
std::int32_t toLong(const QVariant& value);
std::int16_t toInteger(const QVariant& value);
double toDouble(const QVariant& value);

} // namespace platform::com
