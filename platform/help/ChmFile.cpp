#include "help/ChmFile.h"

#include "help/HelpTextDecoder.h"

#include <QFile>
#include <QtEndian>

#include <array>
#include <chm_lib.h>

namespace platform {

namespace {

// Anything larger is a damaged directory entry, not a help page.
constexpr quint64 kMaxObjectSize = 64 * 1024 * 1024;

// #SYSTEM entry codes.
constexpr quint16 kSystemDefaultTopic = 2;
constexpr quint16 kSystemTitle = 3;
constexpr quint16 kSystemLanguage = 4;

constexpr std::array kHomePages{"/index.htm", "/index.html", "/default.htm", "/default.html"};

// #TOPICS rows are 16 bytes, the offset into #URLTBL at byte 8; #URLTBL rows
// are 12 bytes, the offset into #URLSTR at byte 8; a #URLSTR entry is two
// 32-bit offsets followed by the page's path as a 0-terminated string.
constexpr qsizetype kTopicRow = 16;
constexpr qsizetype kUrlTableRow = 12;
constexpr qsizetype kUrlStringHeader = 8;

bool isPageName(const QString& path) {
    return path.endsWith(".htm", Qt::CaseInsensitive) ||
           path.endsWith(".html", Qt::CaseInsensitive);
}

std::optional<quint32> readU32(const QByteArray& data, qsizetype at) {
    if (at < 0 || at + 4 > data.size())
        return std::nullopt;
    return qFromLittleEndian<quint32>(data.constData() + at);
}

QByteArray cString(const QByteArray& data, qsizetype at) {
    if (at < 0 || at >= data.size())
        return {};
    const qsizetype end = data.indexOf('\0', at);
    return data.mid(at, end < 0 ? -1 : end - at);
}

int collectObject(chmFile*, chmUnitInfo* info, void* context) {
    auto* list = static_cast<QStringList*>(context);
    const QString path = QString::fromUtf8(info->path);
    if (path.startsWith('/') && !path.endsWith('/'))
        *list << path;
    return CHM_ENUMERATOR_CONTINUE;
}

} // namespace

void ChmFile::Closer::operator()(chmFile* file) const {
    chm_close(file);
}

std::unique_ptr<ChmFile> ChmFile::open(const QString& path) {
    if (path.isEmpty())
        return nullptr;
    chmFile* file = chm_open(QFile::encodeName(path).constData());
    if (file == nullptr)
        return nullptr;
    std::unique_ptr<ChmFile> chm(new ChmFile(file, path));
    chm->readSystem();
    return chm;
}

ChmFile::ChmFile(chmFile* file, QString path) : m_file(file), m_path(std::move(path)) {}

ChmFile::~ChmFile() = default;

QString ChmFile::objectPath(const QString& path) {
    QString p = path;
    p.replace('\\', '/');
    if (!p.startsWith('/'))
        p.prepend('/');
    return p;
}

bool ChmFile::contains(const QString& path) const {
    chmUnitInfo info{};
    const QByteArray name = objectPath(path).toUtf8();
    return chm_resolve_object(m_file.get(), name.constData(), &info) == CHM_RESOLVE_SUCCESS;
}

std::optional<QByteArray> ChmFile::read(const QString& path) const {
    chmUnitInfo info{};
    const QByteArray name = objectPath(path).toUtf8();
    if (chm_resolve_object(m_file.get(), name.constData(), &info) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    if (info.length > kMaxObjectSize)
        return std::nullopt;
    QByteArray bytes(static_cast<qsizetype>(info.length), '\0');
    if (bytes.isEmpty())
        return bytes;
    const LONGINT64 got =
        chm_retrieve_object(m_file.get(), &info, reinterpret_cast<unsigned char*>(bytes.data()), 0,
                            static_cast<LONGINT64>(info.length));
    if (got != static_cast<LONGINT64>(info.length))
        return std::nullopt;
    return bytes;
}

QStringList ChmFile::objects() const {
    QStringList list;
    chm_enumerate(m_file.get(), CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, collectObject, &list);
    return list;
}

// #SYSTEM: a 32-bit version, then entries of a 16-bit code, a 16-bit length
// and that many bytes.
void ChmFile::readSystem() {
    const QByteArray system = read("/#SYSTEM").value_or(QByteArray());
    QByteArray topic;
    QByteArray title;
    qsizetype at = 4;
    while (at + 4 <= system.size()) {
        const auto code = qFromLittleEndian<quint16>(system.constData() + at);
        const auto length = qFromLittleEndian<quint16>(system.constData() + at + 2);
        const QByteArray data = system.mid(at + 4, length);
        at += 4 + length;
        if (code == kSystemDefaultTopic)
            topic = cString(data, 0);
        else if (code == kSystemTitle)
            title = cString(data, 0);
        else if (code == kSystemLanguage && data.size() >= 4)
            m_codePage = HelpTextDecoder::codePageForLcid(*readU32(data, 0));
    }
    m_title = HelpTextDecoder::decodeName(title, m_codePage).trimmed();
    m_defaultTopic = findDefaultTopic(HelpTextDecoder::decodeName(topic, m_codePage).trimmed());
}

QString ChmFile::findDefaultTopic(const QString& declared) const {
    if (!declared.isEmpty()) {
        const QString topic = objectPath(declared);
        if (contains(topic))
            return topic;
        const QString withoutAnchor = topic.section('#', 0, 0);
        if (contains(withoutAnchor))
            return topic;
    }
    for (const char* home : kHomePages) {
        if (contains(QString::fromLatin1(home)))
            return QString::fromLatin1(home);
    }
    const QString listed = firstTopicListPage();
    return listed.isEmpty() ? firstPage() : listed;
}

bool ChmFile::isExistingPage(const QString& path) const {
    return isPageName(path) && contains(path);
}

QString ChmFile::firstTopicListPage() const {
    const QByteArray topics = read("/#TOPICS").value_or(QByteArray());
    const QByteArray urlTable = read("/#URLTBL").value_or(QByteArray());
    const QByteArray urlStrings = read("/#URLSTR").value_or(QByteArray());
    for (qsizetype row = 0; row + kTopicRow <= topics.size(); row += kTopicRow) {
        const auto urlRow = readU32(topics, row + 8);
        const auto urlString = urlRow ? readU32(urlTable, *urlRow + 8) : std::nullopt;
        if (!urlString)
            continue;
        const QByteArray local = cString(urlStrings, *urlString + kUrlStringHeader);
        const QString page = objectPath(HelpTextDecoder::decodeName(local, m_codePage));
        if (isExistingPage(page))
            return page;
    }
    return {};
}

QString ChmFile::firstPage() const {
    const QStringList all = objects();
    for (const QString& path : all) {
        if (isPageName(path))
            return path;
    }
    return {};
}

} // namespace platform
