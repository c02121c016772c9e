#include "paths/PathLookup.h"
#include "userdata/UserDataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

namespace {

QString defaultDriveRoot() {
    return UserDataFolder::path();
}

bool isDrivePath(const QString& p) {
    return p.size() >= 2 && p[1] == ':' && p[0].isLetter() &&
           (p.size() == 2 || p[2] == '/' || p[2] == '\\');
}

// The entry of `dir` whose name equals `name` without regard to case.
QString findIgnoringCase(const QString& dir, const QString& name) {
    const QStringList entries =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& e : entries) {
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return e;
    }
    return {};
}

// The components of a path below a drive root with "." and ".." applied; as
// on Windows, ".." at the root stays at the root, so a drive path never
// leaves its drive folder.
QString insideDrive(const QString& rest) {
    QStringList kept;
    for (const QString& part : rest.split('/', Qt::SkipEmptyParts)) {
        if (part == QLatin1String("..")) {
            if (!kept.isEmpty())
                kept.removeLast();
        } else if (part != QLatin1String("."))
            kept << part;
    }
    QString out = kept.isEmpty() ? QString() : '/' + kept.join('/');
    if (rest.endsWith('/'))
        out += '/';
    return out;
}

} // namespace

PathLookup::PathLookup() : m_driveRoot(defaultDriveRoot()) {}

PathLookup::PathLookup(QString driveRoot) : m_driveRoot(std::move(driveRoot)) {}

QString PathLookup::driveFolder(QChar letter) const {
    return m_driveRoot + "/drive_" + letter.toLower();
}

QString PathLookup::toLocal(const QString& path) const {
    QString p = path;
    p.replace('\\', '/');
    if (isDrivePath(p))
        p = driveFolder(p[0]) + insideDrive(p.mid(2));
    return p;
}

QString PathLookup::resolve(const QString& path) const {
    const QString local = toLocal(path);
    if (local.isEmpty() || QFileInfo::exists(local))
        return local;

    const bool absolute = local.startsWith('/');
    const QStringList parts = local.split('/', Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QString();
    for (int i = 0; i < parts.size(); ++i) {
        const QString base = current.isEmpty() ? QStringLiteral(".") : current;
        QString name = parts[i];
        if (!QFileInfo::exists(base + '/' + name)) {
            const QString match = findIgnoringCase(base, name);
            if (!match.isEmpty())
                name = match;
        }
        if (!current.isEmpty() && !current.endsWith('/'))
            current += '/';
        current += name;
    }
    if (local.endsWith('/') && !current.endsWith('/'))
        current += '/';
    return current;
}

bool PathLookup::fileExists(const QString& path) const {
    const QFileInfo info(resolve(path));
    return info.exists() && info.isFile();
}

} // namespace platform
