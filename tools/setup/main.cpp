// setup.exe [/S] [target folder]: installs the trainer from the folder this
// program lies in. Without a folder it installs to "c:\Program Files\Verbaro"
// of the per-user drive folder. /S installs silently; otherwise the result is
// shown in a message box and the installed launcher is started.
#include "Installer.h"

#include "paths/PathLookup.h"
#include "process/QtProcessStarter.h"
#include "registry/FileRegistry.h"
#include "ui/QtMessageBox.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool silent =
        args.removeAll(QStringLiteral("/S")) + args.removeAll(QStringLiteral("/s")) > 0;
    platform::PathLookup paths;
    const QString target = args.isEmpty()
                               ? paths.resolve(QStringLiteral("c:\\Program Files\\Verbaro"))
                               : QDir(args.first()).absolutePath();
    platform::FileRegistry registry(platform::RegAccess::ReadWrite);
    Installer installer(QCoreApplication::applicationDirPath(), target, registry);
    QString error;
    const bool ok = installer.run(&error);
    if (silent)
        return ok ? 0 : 1;
    platform::QtMessageBox messages;
    const QString title = QStringLiteral("Verbaro V1.0 安装");
    if (!ok) {
        messages.show({error, title, platform::MsgButtons::Ok, platform::MsgIcon::Critical},
                      nullptr);
        return 1;
    }
    messages.show(
        {QStringLiteral("安装完成。\n程序已安装到 %1").arg(QDir::toNativeSeparators(target)), title,
         platform::MsgButtons::Ok, platform::MsgIcon::Information},
        nullptr);
    platform::QtProcessStarter processes(nullptr);
    processes.startProgram(QDir(target).filePath("start.exe"), platform::WindowStyle::NormalFocus);
    return 0;
}
