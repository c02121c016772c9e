#pragma once

#include <QString>

namespace platform {

// The per-user Verbaro folder, $XDG_DATA_HOME/verbaro (by default
// ~/.local/share/verbaro), following the XDG base directories: it holds the
// registry's store files, the drive folders ("drive_c", ...) and each user's
// copy of the lesson database. Defined here once for every service.
class UserDataFolder {
public:
    static QString path(); // without a trailing "/"
};

} // namespace platform
