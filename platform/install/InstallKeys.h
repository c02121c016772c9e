#pragma once

#include <QString>

namespace platform {

// The registry keys (below HKEY_LOCAL_MACHINE) the installer writes and the
// CD launcher reads to find the installed program; defined once for both.
struct InstallKeys {
    // Present once the program is installed: "DisplayName", "InstallLocation".
    static QString uninstall() {
        return QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                              "{E3672521-0E79-11D7-AE39-001047510C04}");
    }
    // The program file (default value) and its folder ("Path").
    static QString appPaths() {
        return QStringLiteral(
            "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Verbaro.exe");
    }
};

} // namespace platform
