#pragma once

#include <QString>
#include <stdexcept>

namespace platform {

// Raised by a platform service when the component it stands in for fails.
// The logic lets it travel to the run-time error report unless a caller traps it.
class PlatformError : public std::runtime_error {
public:
    explicit PlatformError(const QString& what) : std::runtime_error(what.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

} // namespace platform
