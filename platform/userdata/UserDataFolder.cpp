#include "userdata/UserDataFolder.h"

#include <QDir>

namespace platform {

QString UserDataFolder::path() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + "/.local/share";
    return data + "/verbaro";
}

} // namespace platform
