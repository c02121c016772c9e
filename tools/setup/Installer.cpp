#include "Installer.h"

#include "com/HResult.h"
#include "com/ServerEntryPoints.h"
#include "com/ServerHostCall.h"
#include "install/InstallKeys.h"
#include "registry/IRegistry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLibrary>
#include <QStandardPaths>

using platform::RegRoot;
using platform::RegValue;

const QString Installer::UninstallKey = platform::InstallKeys::uninstall();
const QString Installer::AppPathsKey = platform::InstallKeys::appPaths();

const QString Installer::SystemInfoKey =
    QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");

QString Installer::findSystemInfoProgram() {
    // System-information programs of the common desktops, the most detailed first.
    static const char* const candidates[] = {
        "hardinfo",  "gnome-system-monitor", "plasma-systemmonitor",
        "ksysguard", "mate-system-monitor",  "xfce4-taskmanager"};
    for (const char* name : candidates) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QString Installer::installedProgram() const {
    return QDir(m_targetDir).filePath(QStringLiteral("Verbaro.exe"));
}

bool Installer::copyFile(const QString& from, const QString& to, QString* error) const {
    QDir().mkpath(QFileInfo(to).absolutePath());
    QFile::remove(to);
    if (QFile::copy(from, to))
        return true;
    *error = QStringLiteral("无法复制文件 %1").arg(to);
    return false;
}

bool Installer::copyTree(const QString& from, const QString& to, QString* error) const {
    const QDir source(from);
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (!copyFile(file, QDir(to).filePath(source.relativeFilePath(file)), error))
            return false;
    }
    return true;
}

bool Installer::run(QString* error) {
    const QDir cd(m_cdDir);
    if (!QFileInfo(cd.filePath("program/Verbaro.exe")).isFile()) {
        *error = QStringLiteral("安装光盘不完整：缺少 %1").arg(cd.filePath("program/Verbaro.exe"));
        return false;
    }
    if (!copyTree(cd.filePath("program"), m_targetDir, error))
        return false;
    const QDir target(m_targetDir);
    if (!copyFile(cd.filePath("start.exe"), target.filePath("start.exe"), error))
        return false;
    for (const QString& name : cd.entryList({"*.ini", "*.jpg"}, QDir::Files))
        if (!copyFile(cd.filePath(name), target.filePath(name), error))
            return false;
    // The trainer and the launcher share the recordings folder.
    if (!copyTree(cd.filePath("games"), target.filePath("games"), error) ||
        !copyTree(cd.filePath("lst"), target.filePath("lst"), error))
        return false;
    return registerControls(error) && writeRegistry(error);
}

bool Installer::writeRegistry(QString* error) {
    const bool ok = m_registry.setValue(RegRoot::LocalMachine, UninstallKey, "DisplayName",
                                        RegValue::string("Verbaro V1.0")) &&
                    m_registry.setValue(RegRoot::LocalMachine, UninstallKey, "InstallLocation",
                                        RegValue::string(QDir::toNativeSeparators(m_targetDir))) &&
                    m_registry.setValue(RegRoot::LocalMachine, AppPathsKey, QString(),
                                        RegValue::string(installedProgram())) &&
                    m_registry.setValue(RegRoot::LocalMachine, AppPathsKey, "Path",
                                        RegValue::string(m_targetDir));
    // Without a system-information program, an entry made by an earlier
    // installation (or by another program) is left as it is.
    const QString systemInfo = findSystemInfoProgram();
    const bool infoOk =
        systemInfo.isEmpty() || m_registry.setValue(RegRoot::LocalMachine, SystemInfoKey, "PATH",
                                                    RegValue::string(systemInfo));
    if (!ok || !infoOk)
        *error = QStringLiteral("无法写入注册表");
    return ok && infoOk;
}

bool Installer::registerControls(QString* error) const {
    const QDir target(m_targetDir);
    for (const QString& name : target.entryList({"*.ocx"}, QDir::Files, QDir::Name))
        if (!registerControl(target.filePath(name), error))
            return false;
    return true;
}

bool Installer::registerControl(const QString& library, QString* error) const {
    QLibrary lib(library);
    if (!lib.load()) {
        *error = QStringLiteral("无法加载控件 %1：%2").arg(library, lib.errorString());
        return false;
    }
    const auto entry =
        reinterpret_cast<platform::com::DllRegisterServerFn>(lib.resolve("DllRegisterServer"));
    if (!entry) {
        *error = QStringLiteral("控件 %1 不能注册：缺少 DllRegisterServer").arg(library);
        return false;
    }
    platform::com::HResult hr = platform::com::setServerHost(lib, {&m_registry, nullptr});
    if (platform::com::succeeded(hr))
        hr = entry();
    if (!platform::com::succeeded(hr)) {
        *error = QStringLiteral("控件 %1 注册失败（错误 0x%2）")
                     .arg(library)
                     .arg(static_cast<quint32>(hr), 8, 16, QLatin1Char('0'));
        return false;
    }
    return true;
}
