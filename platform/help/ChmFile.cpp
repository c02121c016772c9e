#include "help/ChmFile.h"

#include "help/HelpTextDecoder.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
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
// (12 bytes each) hold the offset into #URLSTR at byte 8; a #URLSTR entry is
// two 32-bit offsets followed by the page's path as a 0-terminated string.
constexpr qsizetype kTopicRow = 16;
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

// chmlib trusts the file's headers: it allocates the directory block size
// the header gives (up to 4 GiB) and walks index blocks by number. The two
// headers are checked here first, so that only a plausible file reaches it.
//   ITSF at 0: "ITSF", version 2 or 3, header length 0x58 or 0x60, the
//              directory's offset and length at 0x48 and 0x50;
//   ITSP at the directory: "ITSP", version 1, header length 0x54, block
//              length at 0x10, index root (-1: none) at 0x1c, first and
//              last listing block at 0x20 and 0x24, block count at 0x2c.
constexpr qint64 kItsfV2Length = 0x58;
constexpr qint64 kItsfV3Length = 0x60;
constexpr qint64 kItspLength = 0x54;
constexpr quint32 kMinBlock = 0x200;
constexpr quint32 kMaxBlock = 0x10000;

// The directory blocks after the ITSP header: listing blocks ("PMGL", the
// next block's number at 0x10) chained from the first to the last, and index
// blocks ("PMGI") whose entries name the blocks below them. chmlib follows
// both without counting: a chain or an index that loops would hang it.
// The objects holding the LZX parameters chmlib divides by.
constexpr auto kResetTable = "::DataSpace/Storage/MSCompressed/Transform/"
                             "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";
constexpr auto kControlData = "::DataSpace/Storage/MSCompressed/ControlData";
constexpr auto kContent = "::DataSpace/Storage/MSCompressed/Content";
// chmlib reads the control data into a buffer of this size.
constexpr quint64 kMaxControlData = 0x100;

class Directory {
public:
    Directory(const QByteArray& bytes, quint32 blockLength, quint32 blocks)
        : m_bytes(bytes), m_blockLength(blockLength), m_blocks(blocks) {}

    bool listingChainEnds(qint32 first) const {
        QList<bool> seen(m_blocks, false);
        for (qint32 n = first; n != -1;) {
            if (n < 0 || quint32(n) >= m_blocks || seen[n] || !block(n).startsWith("PMGL"))
                return false;
            seen[n] = true;
            n = qFromLittleEndian<qint32>(block(n).constData() + 0x10);
        }
        return true;
    }

    struct Entry {
        quint64 section = 0, offset = 0, length = 0;
    };
    // Every entry of that name in any listing block, read as chmlib reads
    // them: its index may lead it to a block off the chain, a name may stand
    // more than once, and it compares names up to their first 0 byte without
    // regard to case.
    QList<Entry> findAll(QByteArrayView name) const {
        QList<Entry> found;
        for (quint32 n = 0; n < m_blocks; ++n) {
            const QByteArrayView page = block(qint32(n));
            if (!page.startsWith("PMGL"))
                continue;
            const auto freeSpace = qFromLittleEndian<quint32>(page.data() + 4);
            const qsizetype end = freeSpace <= m_blockLength - 0x14 ? m_blockLength - freeSpace : 0;
            // chmlib reads an entry that starts before the free space to its
            // end, even past where the free space begins: so do we.
            const qsizetype limit = page.size();
            for (qsizetype at = 0x14; at < end;) {
                const quint64 length = encint(page, at, limit);
                if (length > quint64(limit - at))
                    break;
                QByteArrayView entryName = page.sliced(at, qsizetype(length));
                at += qsizetype(length);
                if (const qsizetype nul = entryName.indexOf('\0'); nul >= 0)
                    entryName.truncate(nul);
                Entry entry;
                entry.section = encint(page, at, limit);
                entry.offset = encint(page, at, limit);
                entry.length = encint(page, at, limit);
                if (entryName.compare(name, Qt::CaseInsensitive) == 0)
                    found << entry;
            }
        }
        return found;
    }

    // Every path down from the root reaches listing blocks without a loop.
    bool indexIsATree(qint32 root) const {
        QList<bool> onPath(m_blocks, false);
        int visits = 0;
        return descend(root, 0, onPath, visits);
    }

private:
    QByteArrayView block(qint32 n) const {
        return m_bytes.sliced(qsizetype(n) * m_blockLength, m_blockLength);
    }

    bool descend(qint32 n, int depth, QList<bool>& onPath, int& visits) const {
        if (n < 0 || quint32(n) >= m_blocks || onPath[n] || depth > kMaxIndexDepth ||
            ++visits > kMaxIndexVisits)
            return false;
        const QByteArrayView page = block(n);
        if (page.startsWith("PMGL"))
            return true;
        if (!page.startsWith("PMGI"))
            return false;
        onPath[n] = true;
        const auto freeSpace = qFromLittleEndian<quint32>(page.data() + 4);
        if (freeSpace > m_blockLength - 8)
            return false;
        const qsizetype end = m_blockLength - freeSpace;
        for (qsizetype at = 8; at < end;) {
            const quint64 nameLength = encint(page, at, end);
            if (nameLength > quint64(end - at))
                return false;
            at += qsizetype(nameLength);
            const quint64 child = encint(page, at, end);
            if (child > 0x7FFFFFFF || !descend(qint32(child), depth + 1, onPath, visits))
                return false;
        }
        onPath[n] = false;
        return true;
    }

    // A variable-length number: 7 bits a byte, high bit set on all but the
    // last. Read exactly as chmlib reads it: on to the last byte however many
    // there are, keeping the low 64 bits. Read any other way, the entries
    // after a long number are not the entries chmlib goes by.
    static quint64 encint(QByteArrayView page, qsizetype& at, qsizetype end) {
        quint64 value = 0;
        while (at < end) {
            const auto byte = static_cast<unsigned char>(page[at++]);
            value = (value << 7) | (byte & 0x7f);
            if (!(byte & 0x80))
                return value;
        }
        return ~quint64(0);
    }

    static constexpr int kMaxIndexVisits = 1 << 16;
    static constexpr int kMaxIndexDepth = 16; // help files need three or four levels
    QByteArrayView m_bytes;
    quint32 m_blockLength;
    quint32 m_blocks;
};

// The LZX control data ("LZXC"; reset interval, window size and windows per
// reset at 0x0c, 0x10 and 0x14, in units of 0x8000 bytes in version 2), as
// chmlib computes with it in 32 bits: it divides by them when it opens a
// file and when it decompresses.
bool soundControlData(const QByteArray& control) {
    if (control.size() < 0x18 || control.mid(4, 4) != "LZXC")
        return false;
    const quint32 unit = *readU32(control, 8) == 2 ? 0x8000 : 1;
    const quint64 reset = quint64(*readU32(control, 0x0c)) * unit;
    const quint64 window = quint64(*readU32(control, 0x10)) * unit;
    const quint64 windowsPerReset = *readU32(control, 0x14);
    const bool windowIsPowerOfTwo = (window & (window - 1)) == 0;
    return windowIsPowerOfTwo && window >= (1u << 15) && window <= (1u << 21) && reset > 0 &&
           reset <= 0xFFFFFFFFu && reset % (window / 2) == 0 && windowsPerReset > 0 &&
           reset / (window / 2) * windowsPerReset <= 0xFFFFFFFFu;
}

// The reset table's block length (a table of 0x28 bytes, version 2, the
// block length at 0x20), which chmlib divides by.
bool soundBlockLength(const QByteArray& table) {
    const quint64 blockLength = qFromLittleEndian<quint64>(table.constData() + 0x20);
    return blockLength > 0 && blockLength <= kMaxBlock * 16;
}

bool plausibleHeaders(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    const QByteArray itsf = file.read(kItsfV3Length);
    if (itsf.size() < kItsfV2Length || !itsf.startsWith("ITSF"))
        return false;
    const auto version = qFromLittleEndian<qint32>(itsf.constData() + 4);
    const auto headerLength = qFromLittleEndian<qint32>(itsf.constData() + 8);
    if ((version != 2 || headerLength != kItsfV2Length) &&
        (version != 3 || headerLength != kItsfV3Length || itsf.size() < kItsfV3Length))
        return false;
    const auto dirOffset = qFromLittleEndian<quint64>(itsf.constData() + 0x48);
    const auto dirLength = qFromLittleEndian<quint64>(itsf.constData() + 0x50);
    if (dirOffset > quint64(size) || dirLength > quint64(size) - dirOffset ||
        dirLength < quint64(kItspLength))
        return false;
    if (!file.seek(static_cast<qint64>(dirOffset)))
        return false;
    const QByteArray itsp = file.read(kItspLength);
    if (itsp.size() < kItspLength || !itsp.startsWith("ITSP") ||
        qFromLittleEndian<qint32>(itsp.constData() + 4) != 1 ||
        qFromLittleEndian<qint32>(itsp.constData() + 8) != kItspLength)
        return false;
    const auto blockLength = qFromLittleEndian<quint32>(itsp.constData() + 0x10);
    const QByteArray directory = file.read(qint64(dirLength) - kItspLength);
    const auto indexRoot = qFromLittleEndian<qint32>(itsp.constData() + 0x1c);
    const auto firstListing = qFromLittleEndian<qint32>(itsp.constData() + 0x20);
    const auto lastListing = qFromLittleEndian<qint32>(itsp.constData() + 0x24);
    const auto blocks = qFromLittleEndian<quint32>(itsp.constData() + 0x2c);
    auto isBlock = [&](qint32 n) { return n >= 0 && quint32(n) < blocks; };
    if (blockLength < kMinBlock || blockLength > kMaxBlock ||
        quint64(blocks) * blockLength > quint64(directory.size()) || !isBlock(firstListing) ||
        !isBlock(lastListing) || (indexRoot != -1 && !isBlock(indexRoot)))
        return false;
    const Directory blocksOf{directory, blockLength, blocks};
    if (!blocksOf.listingChainEnds(firstListing) ||
        (indexRoot != -1 && !blocksOf.indexIsATree(indexRoot)))
        return false;
    // chmlib reads the reset table and the control data of a compressed
    // file as it opens it, and may decompress with them at once.
    const quint64 dataOffset =
        version == 3 ? qFromLittleEndian<quint64>(itsf.constData() + 0x58) : dirOffset + dirLength;
    auto stored = [&](const Directory::Entry& entry, quint64 wanted) -> std::optional<QByteArray> {
        if (entry.section != 0 || entry.length < wanted || dataOffset > quint64(size) ||
            entry.offset > quint64(size) - dataOffset ||
            !file.seek(qint64(dataOffset + entry.offset)))
            return std::nullopt; // chmlib leaves compression off
        const QByteArray bytes = file.read(qint64(wanted));
        return bytes.size() == qsizetype(wanted) ? std::optional(bytes) : std::nullopt;
    };
    const auto tables = blocksOf.findAll(kResetTable);
    const auto controls = blocksOf.findAll(kControlData);
    const auto contents = blocksOf.findAll(kContent);
    // An object in a section other than 0 (stored) or 1 (compressed) sends
    // chmlib to decompress before it has read how.
    for (const auto& entries : {tables, controls, contents}) {
        for (const auto& entry : entries) {
            if (entry.section > 1)
                return false;
        }
    }
    // The control data itself is read through the decompressor when it is
    // not stored, while the decompressor's own counts are still unset.
    for (const auto& entry : controls) {
        if (entry.section != 0)
            return false;
    }
    // chmlib turns compression on when it finds the content stored and reads
    // a reset table of version 2; it then reads the control data, and divides
    // by its window size even when that read or the data fails (by whatever
    // its stack held). Whichever of the entries chmlib goes by, the control
    // data must then read whole and sound, and the table's block length too.
    QList<QByteArray> tableBytes;
    for (const auto& entry : tables) {
        if (const auto table = stored(entry, 0x28); table && *readU32(*table, 0) == 2)
            tableBytes << *table;
    }
    const bool contentStored =
        std::ranges::any_of(contents, [](const auto& entry) { return entry.section == 0; });
    if (tableBytes.isEmpty() || !contentStored || controls.isEmpty())
        return true; // chmlib leaves compression off before the control data
    for (const auto& entry : controls) {
        const auto control =
            entry.length <= kMaxControlData ? stored(entry, entry.length) : std::nullopt;
        if (!control || !soundControlData(*control))
            return false;
    }
    return std::ranges::all_of(tableBytes, soundBlockLength);
}

// The first `wanted` bytes of an object stored without compression (chmlib
// reads those without decompressing anything).
std::optional<QByteArray> uncompressedObject(chmFile* file, const char* name, qsizetype wanted) {
    chmUnitInfo info{};
    if (chm_resolve_object(file, name, &info) != CHM_RESOLVE_SUCCESS ||
        info.space != CHM_UNCOMPRESSED || info.length < quint64(wanted))
        return std::nullopt;
    QByteArray bytes(wanted, '\0');
    const LONGINT64 got = chm_retrieve_object(
        file, &info, reinterpret_cast<unsigned char*>(bytes.data()), 0, LONGINT64(wanted));
    if (got != LONGINT64(wanted))
        return std::nullopt;
    return bytes;
}

// The reset table (0x28 bytes, version 2, the block length at 0x20) and the
// control data, as chmlib will use them to decompress.
bool soundCompression(chmFile* file) {
    const auto table = uncompressedObject(file, kResetTable, 0x28);
    const auto control = uncompressedObject(file, kControlData, 0x18);
    return table && control && *readU32(*table, 0) == 2 && soundControlData(*control) &&
           soundBlockLength(*table);
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
    if (path.isEmpty() || !plausibleHeaders(path))
        return nullptr;
    chmFile* file = chm_open(QFile::encodeName(path).constData());
    if (file == nullptr)
        return nullptr;
    std::unique_ptr<ChmFile> chm(new ChmFile(file, path));
    chm->m_compressedReadable = soundCompression(file);
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
    if (info.length > kMaxObjectSize || (info.space == CHM_COMPRESSED && !m_compressedReadable))
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
