#pragma once

#include <QTextBrowser>

#include <memory>
#include <optional>
#include <vector>

namespace platform {

class ChmFile;
class IMessageBox;

// A text browser whose pages, style sheets and pictures come from one help
// file. Pages have "chm:" addresses ("chm:/pages/start.htm"), so relative
// links resolve inside the file. The help file's own link forms
// ("ms-its:name.chm::/page.htm", "mk:@MSITStore:name.chm::/page.htm") lead to
// a page of this file, or of another help file next to it when they name one
// (its pages then have addresses "chm://f<n>/..."). Links to web and mail
// addresses leave the viewer only after the learner agrees, through
// `messages`; without one they are not followed.
class ChmBrowser : public QTextBrowser {
    Q_OBJECT
public:
    ChmBrowser(const ChmFile& file, IMessageBox* messages, QWidget* parent = nullptr);
    ~ChmBrowser() override;

    // The address of an object of the file.
    static QUrl urlFor(const QString& objectPath);

    QVariant loadResource(int type, const QUrl& name) override;

    struct ItsLink;

private:
    void followLink(const QUrl& url);
    void followItsLink(const ItsLink& link);
    // The address of the link's page; nothing when its help file is missing.
    std::optional<QUrl> addressOf(const ItsLink& link);
    void openOutside(const QUrl& url);
    // The file of an address's host: this one for none, nullptr for unknown.
    const ChmFile* fileOf(const QString& host) const;
    // The address's host for the help file `fileName` next to this one; empty
    // for this file itself, nothing when there is no such file.
    std::optional<QString> hostFor(const QString& fileName);
    QString missingPage(const QString& objectPath) const;

    const ChmFile& m_file;
    IMessageBox* m_messages;
    std::vector<std::unique_ptr<ChmFile>> m_siblings;
};

} // namespace platform
