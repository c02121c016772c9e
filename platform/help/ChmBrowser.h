#pragma once

#include <QTextBrowser>

namespace platform {

class ChmFile;

// A text browser whose pages, style sheets and pictures come from one help
// file. Pages have "chm:" addresses ("chm:/pages/start.htm"), so relative
// links resolve inside the file; links to web addresses go to the desktop's
// browser.
class ChmBrowser : public QTextBrowser {
    Q_OBJECT
public:
    ChmBrowser(const ChmFile& file, QWidget* parent = nullptr);

    // The address of an object of the file.
    static QUrl urlFor(const QString& objectPath);

    QVariant loadResource(int type, const QUrl& name) override;

private:
    void followLink(const QUrl& url);
    QString missingPage(const QString& objectPath) const;

    const ChmFile& m_file;
};

} // namespace platform
