#pragma once

#include <QString>

namespace platform {

// Turns a path as the programs write it (backslashes, drive letters such as
// "c:\temptemp", any letter case) into a path on this system. Windows ignores
// case in file names and the programs rely on that, so every file access goes
// through here.
class IPathLookup {
public:
    virtual ~IPathLookup() = default;

    // The existing file or folder the path names, matching each component
    // without regard to case when the exact name is missing. When nothing
    // matches, the path with its existing leading folders resolved (where a
    // new file would be created).
    virtual QString resolve(const QString& path) const = 0;

    // True when the path names an existing file (the platform's Dir() lookup).
    virtual bool fileExists(const QString& path) const = 0;
};

} // namespace platform
