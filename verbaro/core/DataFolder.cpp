#include "core/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

const QString DataFolder::DatabaseFile = QStringLiteral("data/qvedbdemo.aaa");

namespace {

constexpr QFile::Permissions kAnyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;

QString withSlash(QString folder) {
    if (!folder.endsWith('/'))
        folder += '/';
    return folder;
}

} // namespace

bool DataFolder::isTemplate(const QString& appPath) {
    const QFileInfo database(appPath + DatabaseFile);
    if (!database.exists())
        return false; // nothing to copy: opening reports the missing database
    // The permission bits count even for a user who could write anyway (root),
    // so that a packaged database is never written in place.
    return !(database.permissions() & kAnyWrite) || !database.isWritable() ||
           !QFileInfo(database.absolutePath()).isWritable() || !QFileInfo(appPath).isWritable();
}

QString DataFolder::copyDatabase(const QString& from, const QString& to) {
    if (!QDir().mkpath(QFileInfo(to).absolutePath()))
        return QStringLiteral("无法建立文件夹 %1").arg(QFileInfo(to).absolutePath());
    // Copied under another name and renamed, so that a copy cut short is never
    // taken for the learner's database at the next start.
    const QString partial = to + QStringLiteral(".partial");
    QFile::remove(partial);
    QFile source(from);
    if (!source.copy(partial))
        return QStringLiteral("无法复制 %1 到 %2：%3").arg(from, partial, source.errorString());
    QFile copy(partial);
    if (!copy.setPermissions(QFile::ReadOwner | QFile::WriteOwner) || !copy.rename(to)) {
        const QString why = copy.errorString();
        QFile::remove(partial);
        return QStringLiteral("无法建立 %1：%2").arg(to, why);
    }
    return {};
}

DataFolder DataFolder::choose(const QString& appPath, const QString& userFolder) {
    if (userFolder.isEmpty() || !isTemplate(appPath))
        return {appPath, {}};
    DataFolder result{withSlash(userFolder), {}};
    const QString copy = result.path + DatabaseFile;
    if (!QFileInfo::exists(copy))
        result.error = copyDatabase(appPath + DatabaseFile, copy);
    return result;
}
