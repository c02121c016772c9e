#include "com/ServerRegistration.h"

#include "com/Guid.h"

#include <QFileInfo>

#include <vector>

namespace platform::com {

namespace {

struct Entry {
    QString key;
    QString name; // empty: the key's default value
    QString value;
};

QString platformKey() {
    return sizeof(void*) == 8 ? "win64" : "win32";
}

std::vector<Entry> classEntries(const ServerInfo& info, const QString& path) {
    const QString cls = "CLSID\\" + guidString(info.clsid);
    return {
        {cls, {}, info.progId},
        {cls + "\\InprocServer32", {}, path},
        {cls + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {cls + "\\ProgID", {}, info.progId},
        {cls + "\\TypeLib", {}, guidString(info.libId)},
        {cls + "\\Version", {}, info.version()},
        {cls + "\\Control", {}, {}},
        {cls + "\\ToolboxBitmap32", {}, QString("%1, %2").arg(path).arg(info.toolboxBitmap)},
        {info.progId, {}, info.progId},
        {info.progId + "\\CLSID", {}, guidString(info.clsid)},
    };
}

std::vector<Entry> typeLibEntries(const ServerInfo& info, const QString& path) {
    const QString lib = "TypeLib\\" + guidString(info.libId) + '\\' + info.version();
    std::vector<Entry> entries{
        {lib, {}, info.libName},
        {lib + "\\FLAGS", {}, "0"},
        {lib + "\\HELPDIR", {}, QFileInfo(path).absolutePath()},
        {lib + '\\' + QString::number(info.lcid, 16) + '\\' + platformKey(), {}, path},
    };
    for (const InterfaceInfo& itf : info.interfaces) {
        const QString key = "Interface\\" + guidString(itf.iid);
        entries.push_back({key, {}, itf.name});
        entries.push_back({key + "\\ProxyStubClsid32", {}, guidString(CLSID_PSDispatch)});
        entries.push_back({key + "\\TypeLib", {}, guidString(info.libId)});
        entries.push_back({key + "\\TypeLib", "Version", info.version()});
    }
    return entries;
}

} // namespace

HResult ServerRegistration::registerServer(const ServerInfo& info, const QString& libraryPath) {
    const auto write = [this](const std::vector<Entry>& entries) {
        for (const Entry& e : entries) {
            if (!m_registry.setValue(RegRoot::ClassesRoot, e.key, e.name,
                                     RegValue::string(e.value)))
                return false;
        }
        return true;
    };
    if (!write(classEntries(info, libraryPath)))
        return SELFREG_E_CLASS;
    if (!write(typeLibEntries(info, libraryPath)))
        return SELFREG_E_TYPELIB;
    return S_OK;
}

bool ServerRegistration::names(const QString& key, const QString& name,
                               const QString& expected) const {
    const auto v = m_registry.value(RegRoot::ClassesRoot, key, name);
    return !v || v->text.compare(expected, Qt::CaseInsensitive) == 0;
}

bool ServerRegistration::removeKey(const QString& key) {
    return !m_registry.keyExists(RegRoot::ClassesRoot, key) ||
           m_registry.deleteTree(RegRoot::ClassesRoot, key);
}

HResult ServerRegistration::unregisterServer(const ServerInfo& info) {
    const QString clsid = guidString(info.clsid);
    const QString libId = guidString(info.libId);
    bool ok = removeKey("CLSID\\" + clsid);
    if (names(info.progId + "\\CLSID", {}, clsid))
        ok = removeKey(info.progId) && ok;
    if (!ok)
        return SELFREG_E_CLASS;

    const QString lib = "TypeLib\\" + libId;
    ok = removeKey(lib + '\\' + info.version());
    if (m_registry.keyExists(RegRoot::ClassesRoot, lib) &&
        m_registry.subKeys(RegRoot::ClassesRoot, lib).isEmpty())
        ok = removeKey(lib) && ok;
    for (const InterfaceInfo& itf : info.interfaces) {
        const QString key = "Interface\\" + guidString(itf.iid);
        if (names(key + "\\TypeLib", {}, libId))
            ok = removeKey(key) && ok;
    }
    return ok ? S_OK : SELFREG_E_TYPELIB;
}

} // namespace platform::com
