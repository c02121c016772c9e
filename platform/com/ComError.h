#pragma once

#include "com/HResult.h"

#include <QString>
#include <stdexcept>

namespace platform::com {

// An error a component raises to its caller: the run-time error number its
// callers know (380 "Invalid property value", 438 "Object doesn't support
// this property or method", ...) and the matching result code.
class ComError : public std::runtime_error {
public:
    ComError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), m_number(number) {}

    int number() const { return m_number; }
    HResult hresult() const { return static_cast<HResult>(0x800A0000u | unsigned(m_number)); }

    static ComError overflow() { return {6, "Overflow"}; }
    static ComError subscriptOutOfRange() { return {9, "Subscript out of range"}; }
    static ComError divisionByZero() { return {11, "Division by zero"}; }
    static ComError typeMismatch() { return {13, "Type mismatch"}; }
    static ComError invalidPropertyValue() { return {380, "Invalid property value"}; }
    static ComError notSupported() {
        return {438, "Object doesn't support this property or method"};
    }

private:
    int m_number;
};

} // namespace platform::com
