#pragma once

#include <QList>
#include <QString>
#include <QUuid>

namespace platform::com {

struct InterfaceInfo {
    QUuid iid;
    QString name;
};

// What a control library registers: its one class, the class's ProgID and
// its type library with the interfaces it declares.
struct ServerInfo {
    QUuid clsid;
    QString progId;
    QUuid libId;
    QString libName;
    int versionMajor = 1;
    int versionMinor = 0;
    int lcid = 1033;
    QList<InterfaceInfo> interfaces;
    int toolboxBitmap = 0; // resource id of the toolbox picture

    QString version() const { return QString("%1.%2").arg(versionMajor).arg(versionMinor); }
};

} // namespace platform::com
