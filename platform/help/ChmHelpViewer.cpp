#include "help/ChmHelpViewer.h"

#include "help/ChmFile.h"
#include "help/HelpViewerWindow.h"
#include "paths/IPathLookup.h"

#include <QFileInfo>

namespace platform {

namespace {

void bringToFront(QWidget* window) {
    window->show();
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    window->activateWindow();
}

// A damaged file may still list its pages; it is a help file only when the
// page it opens with can be read.
bool hasReadableHome(const ChmFile& file) {
    const QString home = file.defaultTopic().section('#', 0, 0);
    return !home.isEmpty() && file.read(home).has_value();
}

} // namespace

ChmHelpViewer::ChmHelpViewer(const IPathLookup& paths, IMessageBox* messages)
    : m_paths(paths), m_messages(messages) {}

ChmHelpViewer::~ChmHelpViewer() {
    // Windows without an owner have nobody else to close them.
    for (auto& [key, window] : m_windows) {
        if (window && window->parent() == nullptr)
            delete window.data();
    }
}

QString ChmHelpViewer::fileKey(const QString& chmPath) const {
    const QFileInfo info(m_paths.resolve(chmPath));
    return info.isFile() ? info.canonicalFilePath() : QString();
}

HelpViewerWindow* ChmHelpViewer::windowFor(const QString& chmPath) const {
    const auto it = m_windows.find(fileKey(chmPath));
    return it == m_windows.end() ? nullptr : it->second.data();
}

bool ChmHelpViewer::displayTopic(const QString& chmPath, QWidget* owner) {
    const QString key = fileKey(chmPath);
    if (key.isEmpty())
        return false;
    const auto open = m_windows.find(key);
    if (open != m_windows.end() && open->second) {
        open->second->showHome();
        bringToFront(open->second);
        return true;
    }
    std::unique_ptr<ChmFile> file = ChmFile::open(key);
    if (!file || !hasReadableHome(*file))
        return false;
    auto* window = new HelpViewerWindow(std::move(file), owner, m_messages);
    m_windows[key] = window;
    bringToFront(window);
    return true;
}

} // namespace platform
