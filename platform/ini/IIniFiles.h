#pragma once

#include <QString>

namespace platform {

// Reading INI files the way the platform does: sections and keys compare
// without regard to case, values are trimmed, anything missing gives the
// default. Text is in the system's ANSI code page 936 (GBK).
class IIniFiles {
public:
    virtual ~IIniFiles() = default;
    virtual QString readString(const QString& file, const QString& section, const QString& key,
                               const QString& fallback = {}) const = 0;
};

} // namespace platform
