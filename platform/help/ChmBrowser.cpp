#include "help/ChmBrowser.h"

#include "help/ChmFile.h"
#include "help/HelpTextDecoder.h"

#include <QDesktopServices>
#include <QTextDocument>

#include <array>

namespace platform {

namespace {

const QString kScheme = QStringLiteral("chm");

// Addresses handed to the desktop rather than looked up in the file.
constexpr std::array kOutsideSchemes{"http", "https", "mailto", "ftp"};

bool isOutside(const QUrl& url) {
    for (const char* scheme : kOutsideSchemes) {
        if (url.scheme().compare(QLatin1String(scheme), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

ChmBrowser::ChmBrowser(const ChmFile& file, QWidget* parent) : QTextBrowser(parent), m_file(file) {
    // Links are followed here, so that web addresses leave the viewer and
    // everything else stays inside the file.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &ChmBrowser::followLink);
}

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

QVariant ChmBrowser::loadResource(int type, const QUrl& name) {
    const QUrl url = source().isValid() ? source().resolved(name) : name;
    if (url.scheme() != kScheme)
        return {};
    const QString path = url.path(QUrl::FullyDecoded);
    const std::optional<QByteArray> bytes = m_file.read(path);
    switch (type) {
    case QTextDocument::HtmlResource:
        return bytes ? HelpTextDecoder::decodePage(*bytes, m_file.codePage()) : missingPage(path);
    case QTextDocument::StyleSheetResource:
        return bytes ? HelpTextDecoder::decodeName(*bytes, m_file.codePage()) : QString();
    default:
        return bytes ? *bytes : QVariant();
    }
}

void ChmBrowser::followLink(const QUrl& url) {
    const QUrl target = source().resolved(url);
    if (isOutside(target))
        QDesktopServices::openUrl(target);
    else if (target.scheme() == kScheme)
        setSource(target);
}

QString ChmBrowser::missingPage(const QString& objectPath) const {
    return tr("<html><body><h3>找不到此页</h3><p>帮助文件中没有 %1。</p></body></html>")
        .arg(objectPath.toHtmlEscaped());
}

} // namespace platform
