#pragma once

#include "registry/IRegistry.h"

namespace platform {

class RegistryHive;

enum class RegAccess { ReadOnly, ReadWrite };

// The registry kept in files, one per root, in the per-user Verbaro folder
// ($XDG_DATA_HOME/verbaro, by default ~/.local/share/verbaro), named after the
// root: "HKEY_CLASSES_ROOT.reg", "HKEY_CURRENT_USER.reg",
// "HKEY_LOCAL_MACHINE.reg" (format: RegistryHive). Every call reads the file
// afresh, so other processes' changes are seen; every change rewrites the
// file atomically (temporary file, then rename), holding an exclusive lock
// (flock on ".registry.lock" in the folder) from reading to renaming, so
// that the installer, the registration tool and the programs never undo one
// another's changes. A file that exists but cannot be read reads as empty
// and is never written over: changes to that root fail. A store opened
// read-only never creates or writes anything: its writes fail.
class FileRegistry : public IRegistry {
public:
    explicit FileRegistry(RegAccess access = RegAccess::ReadWrite);
    FileRegistry(QString folder, RegAccess access);

    static QString defaultFolder();
    static QString rootName(RegRoot root);
    QString fileOf(RegRoot root) const;

    bool keyExists(RegRoot root, const QString& key) const override;
    std::optional<RegValue> value(RegRoot root, const QString& key,
                                  const QString& name) const override;
    QStringList subKeys(RegRoot root, const QString& key) const override;
    QStringList valueNames(RegRoot root, const QString& key) const override;

    bool createKey(RegRoot root, const QString& key) override;
    bool setValue(RegRoot root, const QString& key, const QString& name,
                  const RegValue& value) override;
    bool deleteTree(RegRoot root, const QString& key) override;
    bool deleteValue(RegRoot root, const QString& key, const QString& name) override;

private:
    // The root's keys; nothing when the file exists but cannot be read.
    std::optional<RegistryHive> read(RegRoot root) const;
    RegistryHive load(RegRoot root) const;
    template <class Change> bool modify(RegRoot root, Change change);

    QString m_folder;
    RegAccess m_access;
};

} // namespace platform
