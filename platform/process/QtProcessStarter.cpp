#include "process/QtProcessStarter.h"

#include "help/IHelpViewer.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace platform {

bool QtProcessStarter::startProgram(const QString& path, WindowStyle) {
    // The window style is the started program's own business on this desktop;
    // the programs of this system do not read it.
    const QFileInfo info(path);
    if (!info.isFile() || !info.isExecutable())
        return false;
    return QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath());
}

bool QtProcessStarter::shellOpen(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    if (m_help && info.suffix().compare("chm", Qt::CaseInsensitive) == 0)
        return m_help->displayTopic(info.absoluteFilePath(), nullptr);
    if (info.isExecutable() && info.isFile())
        return startProgram(path, WindowStyle::NormalFocus);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

} // namespace platform
