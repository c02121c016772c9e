#include "registry/FileRegistry.h"

#include "registry/RegistryHive.h"
#include "userdata/UserDataFolder.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace platform {

FileRegistry::FileRegistry(RegAccess access) : FileRegistry(defaultFolder(), access) {}

FileRegistry::FileRegistry(QString folder, RegAccess access)
    : m_folder(std::move(folder)), m_access(access) {}

QString FileRegistry::defaultFolder() {
    return UserDataFolder::path();
}

QString FileRegistry::rootName(RegRoot root) {
    switch (root) {
    case RegRoot::ClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case RegRoot::CurrentUser:
        return "HKEY_CURRENT_USER";
    case RegRoot::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    }
    return {};
}

QString FileRegistry::fileOf(RegRoot root) const {
    return m_folder + '/' + rootName(root) + ".reg";
}

RegistryHive FileRegistry::load(RegRoot root) const {
    RegistryHive hive;
    QFile file(fileOf(root));
    if (file.open(QIODevice::ReadOnly))
        hive.parse(file.readAll());
    return hive;
}

template <class Change> bool FileRegistry::modify(RegRoot root, Change change) {
    if (m_access == RegAccess::ReadOnly)
        return false;
    RegistryHive hive = load(root);
    if (!change(hive))
        return false;
    if (!QDir().mkpath(m_folder))
        return false;
    QSaveFile file(fileOf(root));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(hive.serialize(rootName(root)));
    return file.commit();
}

bool FileRegistry::keyExists(RegRoot root, const QString& key) const {
    return load(root).keyExists(key);
}

std::optional<RegValue> FileRegistry::value(RegRoot root, const QString& key,
                                            const QString& name) const {
    return load(root).value(key, name);
}

QStringList FileRegistry::subKeys(RegRoot root, const QString& key) const {
    return load(root).subKeys(key);
}

QStringList FileRegistry::valueNames(RegRoot root, const QString& key) const {
    return load(root).valueNames(key);
}

bool FileRegistry::createKey(RegRoot root, const QString& key) {
    return modify(root, [&](RegistryHive& h) { return h.createKey(key); });
}

bool FileRegistry::setValue(RegRoot root, const QString& key, const QString& name,
                            const RegValue& value) {
    return modify(root, [&](RegistryHive& h) { return h.setValue(key, name, value); });
}

bool FileRegistry::deleteTree(RegRoot root, const QString& key) {
    return modify(root, [&](RegistryHive& h) { return h.deleteTree(key); });
}

bool FileRegistry::deleteValue(RegRoot root, const QString& key, const QString& name) {
    return modify(root, [&](RegistryHive& h) { return h.deleteValue(key, name); });
}

} // namespace platform
