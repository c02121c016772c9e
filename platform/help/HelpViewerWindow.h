#pragma once

#include <QWidget>

#include <memory>

class QToolButton;

namespace platform {

class ChmBrowser;
class ChmFile;
class IMessageBox;

// The window that shows one help file: its pages with back, forward and home
// buttons. It is a window of its own above its owner, not modal, and closes
// the file when it is closed.
class HelpViewerWindow : public QWidget {
    Q_OBJECT
public:
    // `file` must have a default topic. `messages` asks before a link leaves
    // the help files; without it such links are not followed.
    HelpViewerWindow(std::unique_ptr<ChmFile> file, QWidget* owner,
                     IMessageBox* messages = nullptr);
    ~HelpViewerWindow() override;

    const ChmFile& file() const { return *m_file; }
    ChmBrowser* browser() const { return m_browser; }

    // Shows the file's default topic.
    void showHome();

private:
    QToolButton* addButton(const QString& text, void (ChmBrowser::*action)());
    void updateTitle();

    std::unique_ptr<ChmFile> m_file;
    ChmBrowser* m_browser = nullptr;
};

} // namespace platform
