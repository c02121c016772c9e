#include "help/HelpViewerWindow.h"

#include "help/ChmBrowser.h"
#include "help/ChmFile.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace platform {

namespace {

constexpr QSize kDefaultSize(760, 560);

} // namespace

HelpViewerWindow::HelpViewerWindow(std::unique_ptr<ChmFile> file, QWidget* owner,
                                   IMessageBox* messages)
    : QWidget(owner, Qt::Window), m_file(std::move(file)) {
    setAttribute(Qt::WA_DeleteOnClose);
    m_browser = new ChmBrowser(*m_file, messages, this);

    auto* buttons = new QHBoxLayout;
    QToolButton* back = addButton(tr("后退"), &ChmBrowser::backward);
    QToolButton* forward = addButton(tr("前进"), &ChmBrowser::forward);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(addButton(tr("主页"), &ChmBrowser::home));
    buttons->addStretch();
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpViewerWindow::updateTitle);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);
    resize(kDefaultSize);

    m_browser->setSource(ChmBrowser::urlFor(m_file->defaultTopic()));
    updateTitle();
}

HelpViewerWindow::~HelpViewerWindow() {
    // The browser reads from the file; it goes first.
    delete m_browser;
}

void HelpViewerWindow::showHome() {
    const QUrl home = ChmBrowser::urlFor(m_file->defaultTopic());
    if (m_browser->source() != home)
        m_browser->setSource(home);
}

QToolButton* HelpViewerWindow::addButton(const QString& text, void (ChmBrowser::*action)()) {
    auto* button = new QToolButton(this);
    button->setText(text);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(button, &QToolButton::clicked, m_browser, action);
    return button;
}

// The project's title names the window; a file without one shows the page's
// own title, or the file's name.
void HelpViewerWindow::updateTitle() {
    QString title = m_file->title();
    if (title.isEmpty())
        title = m_browser->documentTitle();
    if (title.isEmpty())
        title = QFileInfo(m_file->path()).fileName();
    setWindowTitle(title);
}

} // namespace platform
