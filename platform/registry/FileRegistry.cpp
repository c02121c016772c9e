#include "registry/FileRegistry.h"

#include "registry/RegistryHive.h"
#include "userdata/UserDataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

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

std::optional<RegistryHive> FileRegistry::read(RegRoot root) const {
    RegistryHive hive;
    const QString path = fileOf(root);
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return hive; // nothing stored yet
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.size() != file.size())
        return std::nullopt;
    hive.parse(bytes);
    return hive;
}

RegistryHive FileRegistry::load(RegRoot root) const {
    return read(root).value_or(RegistryHive());
}

namespace {

// An exclusive flock on the store's lock file, held while a process reads,
// changes and writes a root: the installer, the registration tool and the
// programs may write at the same time. Waits up to kLockWaitMs.
class StoreLock {
public:
    explicit StoreLock(const QString& folder) {
        const QByteArray path = QFile::encodeName(folder + "/.registry.lock");
        m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd < 0)
            return;
        for (int waited = 0; waited <= kLockWaitMs; waited += kPollMs) {
            if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
                m_locked = true;
                return;
            }
            if (errno != EWOULDBLOCK && errno != EINTR)
                return;
            QThread::msleep(kPollMs);
        }
    }
    ~StoreLock() {
        if (m_fd >= 0)
            ::close(m_fd); // releases the lock
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    bool locked() const { return m_locked; }

private:
    static constexpr int kLockWaitMs = 10000;
    static constexpr int kPollMs = 5;
    int m_fd = -1;
    bool m_locked = false;
};

} // namespace

template <class Change> bool FileRegistry::modify(RegRoot root, Change change) {
    if (m_access == RegAccess::ReadOnly)
        return false;
    if (!QDir().mkpath(m_folder))
        return false;
    const StoreLock lock(m_folder);
    if (!lock.locked())
        return false;
    // A file that exists but cannot be read is never replaced: what it holds
    // would be lost.
    std::optional<RegistryHive> hive = read(root);
    if (!hive || !change(*hive))
        return false;
    const QByteArray bytes = hive->serialize(rootName(root));
    QSaveFile file(fileOf(root)); // a temporary file renamed over the old one
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
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
