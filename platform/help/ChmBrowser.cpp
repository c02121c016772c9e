#include "help/ChmBrowser.h"

#include "help/ChmFile.h"
#include "help/HelpTextDecoder.h"
#include "ui/IMessageBox.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QTextDocument>

#include <array>
#include <optional>

namespace platform {

namespace {

const QString kScheme = QStringLiteral("chm");
const QString kSiblingHost = QStringLiteral("f%1");

// Addresses handed to the desktop, once the learner agrees, rather than
// looked up in the file.
constexpr std::array kOutsideSchemes{"http", "https", "mailto", "ftp"};

bool isOutside(const QUrl& url) {
    for (const char* scheme : kOutsideSchemes) {
        if (url.scheme().compare(QLatin1String(scheme), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

// A link in the help file's own form: "ms-its:", "its:" or "mk:@MSITStore:",
// then the help file (a bare name or a Windows path), "::", the object.
struct ChmBrowser::ItsLink {
    QString fileName; // without its folder; empty for the file itself
    QString objectPath;
};

namespace {

std::optional<ChmBrowser::ItsLink> parseItsLink(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    QString rest = url.path(QUrl::FullyDecoded);
    if (scheme == QLatin1String("mk")) {
        const QLatin1String store("@MSITStore:");
        if (!rest.startsWith(store, Qt::CaseInsensitive))
            return std::nullopt;
        rest = rest.mid(store.size());
    } else if (scheme != QLatin1String("ms-its") && scheme != QLatin1String("its")) {
        return std::nullopt;
    }
    const qsizetype separator = rest.indexOf(QLatin1String("::"));
    const QString file = separator < 0 ? rest : rest.left(separator);
    ChmBrowser::ItsLink link;
    link.fileName = file.mid(std::max(file.lastIndexOf('/'), file.lastIndexOf('\\')) + 1).trimmed();
    if (separator >= 0)
        link.objectPath = rest.mid(separator + 2);
    if (url.hasFragment())
        link.objectPath += '#' + url.fragment(QUrl::FullyDecoded);
    return link;
}

} // namespace

ChmBrowser::ChmBrowser(const ChmFile& file, IMessageBox* messages, QWidget* parent)
    : QTextBrowser(parent), m_file(file), m_messages(messages) {
    // Links are followed here, so that web addresses leave the viewer only
    // when the learner agrees and everything else stays inside help files.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &ChmBrowser::followLink);
}

ChmBrowser::~ChmBrowser() = default;

QUrl ChmBrowser::urlFor(const QString& objectPath) {
    const QString path = ChmFile::objectPath(objectPath);
    const qsizetype hash = path.indexOf('#', 1);
    QUrl url;
    url.setScheme(kScheme);
    url.setPath(hash < 0 ? path : path.left(hash));
    if (hash >= 0)
        url.setFragment(path.mid(hash + 1));
    return url;
}

const ChmFile* ChmBrowser::fileOf(const QString& host) const {
    if (host.isEmpty())
        return &m_file;
    for (std::size_t i = 0; i < m_siblings.size(); ++i) {
        if (host == kSiblingHost.arg(i))
            return m_siblings[i].get();
    }
    return nullptr;
}

QVariant ChmBrowser::loadResource(int type, const QUrl& name) {
    QUrl url = source().isValid() ? source().resolved(name) : name;
    // Pictures and style sheets may be named in the help file's own link form too.
    if (const std::optional<ItsLink> link = parseItsLink(url))
        url = addressOf(*link).value_or(QUrl());
    if (url.scheme() != kScheme)
        return {};
    const ChmFile* file = fileOf(url.host());
    const QString path = url.path(QUrl::FullyDecoded);
    const std::optional<QByteArray> bytes = file ? file->read(path) : std::nullopt;
    const QByteArray codePage = file ? file->codePage() : m_file.codePage();
    switch (type) {
    case QTextDocument::HtmlResource:
        return bytes ? HelpTextDecoder::decodePage(*bytes, codePage) : missingPage(path);
    case QTextDocument::StyleSheetResource:
        return bytes ? HelpTextDecoder::decodeName(*bytes, codePage) : QString();
    default:
        return bytes ? *bytes : QVariant();
    }
}

void ChmBrowser::followLink(const QUrl& url) {
    const QUrl target = source().resolved(url);
    if (isOutside(target)) {
        openOutside(target);
    } else if (const std::optional<ItsLink> link = parseItsLink(target)) {
        followItsLink(*link);
    } else if (target.scheme() == kScheme) {
        setSource(target);
    }
}

void ChmBrowser::followItsLink(const ItsLink& link) {
    if (const std::optional<QUrl> target = addressOf(link)) {
        setSource(*target);
    } else if (m_messages) {
        m_messages->show({tr("找不到帮助文件 %1。").arg(link.fileName), tr("帮助"), MsgButtons::Ok,
                          MsgIcon::Exclamation},
                         this);
    }
}

std::optional<QUrl> ChmBrowser::addressOf(const ItsLink& link) {
    const std::optional<QString> host =
        link.fileName.isEmpty() ? std::optional<QString>(source().host()) : hostFor(link.fileName);
    const ChmFile* file = host ? fileOf(*host) : nullptr;
    if (!file)
        return std::nullopt;
    // A link to the file alone opens it at its first page.
    QUrl target = urlFor(link.objectPath.isEmpty() ? file->defaultTopic() : link.objectPath);
    target.setHost(*host);
    return target;
}

std::optional<QString> ChmBrowser::hostFor(const QString& fileName) {
    const QFileInfo self(m_file.path());
    if (fileName.compare(self.fileName(), Qt::CaseInsensitive) == 0)
        return QString();
    if (!fileName.endsWith(QLatin1String(".chm"), Qt::CaseInsensitive))
        return std::nullopt;
    // Only a file in the same folder, found without regard to case as the
    // help files' Windows authors wrote the names.
    const QDir folder = self.absoluteDir();
    QString path;
    for (const QString& name : folder.entryList(QDir::Files)) {
        if (name.compare(fileName, Qt::CaseInsensitive) == 0) {
            path = QFileInfo(folder.filePath(name)).canonicalFilePath();
            break;
        }
    }
    if (path.isEmpty())
        return std::nullopt;
    if (path == QFileInfo(m_file.path()).canonicalFilePath())
        return QString();
    for (std::size_t i = 0; i < m_siblings.size(); ++i) {
        if (QFileInfo(m_siblings[i]->path()).canonicalFilePath() == path)
            return kSiblingHost.arg(i);
    }
    std::unique_ptr<ChmFile> file = ChmFile::open(path);
    if (!file)
        return std::nullopt;
    m_siblings.push_back(std::move(file));
    return kSiblingHost.arg(m_siblings.size() - 1);
}

void ChmBrowser::openOutside(const QUrl& url) {
    if (!m_messages)
        return;
    const MsgAnswer answer = m_messages->show(
        {tr("此链接指向帮助文件以外的地址：\n%1\n\n要用系统的浏览器或邮件程序打开吗？")
             .arg(url.toDisplayString()),
         tr("帮助"), MsgButtons::YesNo, MsgIcon::Question},
        this);
    if (answer == MsgAnswer::Yes)
        QDesktopServices::openUrl(url);
}

QString ChmBrowser::missingPage(const QString& objectPath) const {
    return tr("<html><body><h3>找不到此页</h3><p>帮助文件中没有 %1。</p></body></html>")
        .arg(objectPath.toHtmlEscaped());
}

} // namespace platform
