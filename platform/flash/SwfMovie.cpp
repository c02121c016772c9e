#include "flash/SwfMovie.h"

#include <QFile>

#include <algorithm>
#include <limits>

#include <zlib.h>

namespace platform {

namespace {

enum class TagCode { End = 0, ShowFrame = 1, SetBackgroundColor = 9, DoAction = 12 };
constexpr unsigned char ActionGetUrl = 0x83;
constexpr qsizetype kHeaderBytes = 8; // signature, version, file length

// Every position and length is a 64-bit count: a tag may claim up to 4 GiB,
// and adding that to a position must not wrap.
class Reader {
public:
    explicit Reader(const QByteArray& data, qint64 pos = 0) : m_data(&data), m_pos(pos) {}
    bool has(qint64 n) const { return n >= 0 && m_pos >= 0 && m_pos <= m_data->size() - n; }
    qint64 pos() const { return m_pos; }
    unsigned u8() { return static_cast<unsigned char>((*m_data)[m_pos++]); }
    unsigned u16() {
        const unsigned lo = u8();
        return lo | (u8() << 8);
    }
    quint32 u32() {
        const quint32 lo = u16();
        return lo | (static_cast<quint32>(u16()) << 16);
    }
    // The 0-terminated string at the position, ending at `end` at the latest.
    QString string(qint64 end) {
        const qint64 zero = m_data->indexOf('\0', m_pos);
        const qint64 stop = zero < 0 || zero > end ? end : zero;
        const QString s = QString::fromUtf8(m_data->mid(m_pos, stop - m_pos));
        m_pos = stop + 1;
        return s;
    }

private:
    const QByteArray* m_data;
    qint64 m_pos;
};

// The header followed by the inflated body. The output grows only as zlib
// produces data, up to the length the header gives: a small file claiming a
// huge length costs nothing.
std::optional<QByteArray> inflateBody(const QByteArray& file, quint32 length) {
    if (length < kHeaderBytes || length > SwfMovie::kMaxFileBytes)
        return std::nullopt;
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return std::nullopt;
    QByteArray out = file.left(kHeaderBytes);
    const qsizetype wanted = static_cast<qsizetype>(length);
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(file.constData() + kHeaderBytes));
    zs.avail_in = static_cast<uInt>(file.size() - kHeaderBytes);
    int rc = Z_OK;
    while (rc == Z_OK && out.size() < wanted) {
        const qsizetype chunk = std::min<qsizetype>(wanted - out.size(), 256 * 1024);
        const qsizetype at = out.size();
        out.resize(at + chunk);
        zs.next_out = reinterpret_cast<Bytef*>(out.data() + at);
        zs.avail_out = static_cast<uInt>(chunk);
        rc = inflate(&zs, Z_NO_FLUSH);
        out.truncate(at + chunk - static_cast<qsizetype>(zs.avail_out));
    }
    inflateEnd(&zs);
    // A body cut short still plays as far as it goes.
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
        return std::nullopt;
    return out;
}

// The frame rectangle: 5 bits giving the field size, then four signed fields
// of that many bits (up to 31).
class Rectangle {
public:
    Rectangle(const QByteArray& data, qsizetype at) : m_data(data), m_at(at) {}
    int bits() const { return static_cast<unsigned char>(m_data[m_at]) >> 3; }
    qsizetype bytes() const { return (5 + 4 * bits() + 7) / 8; }
    qint64 field(int index) const {
        const int n = bits();
        qint64 value = 0;
        for (int b = 0; b < n; ++b) {
            const int bit = 5 + index * n + b;
            value = (value << 1) |
                    ((static_cast<unsigned char>(m_data[m_at + bit / 8]) >> (7 - bit % 8)) & 1);
        }
        if (n > 0 && (value & (qint64{1} << (n - 1))))
            value -= qint64{1} << n;
        return value;
    }
    // The extent from the minimum field to the maximum, kept within int.
    int extent(int minIndex, int maxIndex) const {
        const qint64 d = field(maxIndex) - field(minIndex);
        return static_cast<int>(std::clamp<qint64>(d, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
    }

private:
    const QByteArray& m_data;
    qsizetype m_at;
};

// The FSCommand calls of one DoAction tag, up to `room` of them.
QList<FsCommand> readActions(const QByteArray& data, qint64 start, qint64 end, qsizetype room) {
    QList<FsCommand> commands;
    Reader in(data, start);
    while (in.pos() < end && in.has(1) && commands.size() < room) {
        const unsigned code = in.u8();
        if (code == 0)
            break;
        if (code < 0x80)
            continue;
        if (!in.has(2))
            break;
        const qint64 length = in.u16();
        const qint64 next = in.pos() + length;
        if (code == ActionGetUrl && next <= end) {
            const QString url = in.string(next);
            const QString target = in.pos() < next ? in.string(next) : QString();
            static const QString prefix = QStringLiteral("FSCommand:");
            if (url.startsWith(prefix, Qt::CaseInsensitive))
                commands.append({url.mid(prefix.size()), target});
        }
        in = Reader(data, next);
    }
    return commands;
}

// Reads the tags after the header into the movie's frames.
void readTimeline(const QByteArray& data, Reader in, SwfMovie& movie) {
    QList<FsCommand> pending;
    qsizetype commandCount = 0;
    while (in.has(2) && movie.frames.size() < SwfMovie::kMaxFrames) {
        const unsigned codeAndLength = in.u16();
        qint64 length = codeAndLength & 0x3f;
        if (length == 0x3f) {
            if (!in.has(4))
                break;
            length = in.u32();
        }
        if (!in.has(length))
            break;
        const auto code = static_cast<TagCode>(codeAndLength >> 6);
        const qint64 start = in.pos();
        if (code == TagCode::End)
            break;
        if (code == TagCode::ShowFrame) {
            movie.frames.append(pending);
            pending.clear();
        } else if (code == TagCode::SetBackgroundColor && length >= 3) {
            const int r = static_cast<int>(in.u8()), g = static_cast<int>(in.u8());
            movie.background = QColor(r, g, static_cast<int>(in.u8()));
        } else if (code == TagCode::DoAction) {
            const QList<FsCommand> found =
                readActions(data, start, start + length, SwfMovie::kMaxCommands - commandCount);
            commandCount += found.size();
            pending.append(found);
        }
        in = Reader(data, start + length);
    }
}

} // namespace

std::optional<SwfMovie> SwfMovie::parse(const QByteArray& raw) {
    if (raw.size() < kHeaderBytes || raw.mid(1, 2) != "WS" || (raw[0] != 'F' && raw[0] != 'C'))
        return std::nullopt;
    Reader header(raw, 3);
    SwfMovie movie;
    movie.version = static_cast<int>(header.u8());
    const quint32 length = header.u32();
    QByteArray data = raw;
    if (raw[0] == 'C') {
        auto inflated = inflateBody(raw, length);
        if (!inflated)
            return std::nullopt;
        data = std::move(*inflated);
    }
    if (data.size() <= kHeaderBytes)
        return std::nullopt;
    const Rectangle frame(data, kHeaderBytes);
    if (data.size() < kHeaderBytes + frame.bytes())
        return std::nullopt;
    Reader in(data, kHeaderBytes + frame.bytes());
    if (!in.has(4))
        return std::nullopt;
    movie.widthTwips = frame.extent(0, 1);
    movie.heightTwips = frame.extent(2, 3);
    movie.frameRate = in.u16() / 256.0;
    movie.frameCount = static_cast<int>(in.u16());
    readTimeline(data, in, movie);
    return movie;
}

std::optional<SwfMovie> SwfMovie::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes)
        return std::nullopt;
    return parse(file.readAll());
}

} // namespace platform
