#include "flash/SwfMovie.h"

#include <QFile>

#include <zlib.h>

namespace platform {

namespace {

enum class TagCode { End = 0, ShowFrame = 1, SetBackgroundColor = 9, DoAction = 12 };
constexpr unsigned char ActionGetUrl = 0x83;

class Reader {
public:
    explicit Reader(const QByteArray& data, int pos = 0) : m_data(&data), m_pos(pos) {}
    bool has(int n) const { return n >= 0 && m_pos + n <= m_data->size(); }
    int pos() const { return m_pos; }
    void skip(int n) { m_pos += n; }
    unsigned u8() { return static_cast<unsigned char>((*m_data)[m_pos++]); }
    unsigned u16() {
        const unsigned lo = u8();
        return lo | (u8() << 8);
    }
    unsigned u32() {
        const unsigned lo = u16();
        return lo | (u16() << 16);
    }
    QString string(int end) {
        const int zero = m_data->indexOf('\0', m_pos);
        const int stop = zero < 0 || zero > end ? end : zero;
        const QString s = QString::fromUtf8(m_data->mid(m_pos, stop - m_pos));
        m_pos = stop + 1;
        return s;
    }

private:
    const QByteArray* m_data;
    int m_pos;
};

std::optional<QByteArray> inflateBody(const QByteArray& file, unsigned length) {
    if (length < 8 || length > 256u * 1024 * 1024)
        return std::nullopt;
    QByteArray out(static_cast<qsizetype>(length - 8), '\0');
    uLongf outLength = static_cast<uLongf>(out.size());
    const int rc = uncompress(reinterpret_cast<Bytef*>(out.data()), &outLength,
                              reinterpret_cast<const Bytef*>(file.constData() + 8),
                              static_cast<uLong>(file.size() - 8));
    if (rc != Z_OK && rc != Z_BUF_ERROR)
        return std::nullopt;
    out.truncate(static_cast<qsizetype>(outLength));
    return file.left(8) + out;
}

QList<FsCommand> readActions(const QByteArray& data, int start, int end) {
    QList<FsCommand> commands;
    Reader in(data, start);
    while (in.pos() < end && in.has(1)) {
        const unsigned code = in.u8();
        if (code == 0)
            break;
        if (code < 0x80)
            continue;
        if (!in.has(2))
            break;
        const int length = static_cast<int>(in.u16());
        const int next = in.pos() + length;
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

} // namespace

std::optional<SwfMovie> SwfMovie::parse(const QByteArray& raw) {
    if (raw.size() < 8 || raw.mid(1, 2) != "WS" || (raw[0] != 'F' && raw[0] != 'C'))
        return std::nullopt;
    Reader header(raw, 3);
    SwfMovie movie;
    movie.version = static_cast<int>(header.u8());
    const unsigned length = header.u32();
    QByteArray data = raw;
    if (raw[0] == 'C') {
        auto inflated = inflateBody(raw, length);
        if (!inflated)
            return std::nullopt;
        data = *inflated;
    }
    if (data.size() < 9)
        return std::nullopt;
    // The frame rectangle: 5 bits giving the field size, then four fields.
    const int bits = static_cast<unsigned char>(data[8]) >> 3;
    const int rectBytes = (5 + 4 * bits + 7) / 8;
    auto field = [&](int index) {
        int value = 0;
        for (int b = 0; b < bits; ++b) {
            const int bit = 5 + index * bits + b;
            value = (value << 1) |
                    ((static_cast<unsigned char>(data[8 + bit / 8]) >> (7 - bit % 8)) & 1);
        }
        if (bits > 0 && (value & (1 << (bits - 1))))
            value -= 1 << bits; // signed
        return value;
    };
    if (data.size() < 8 + rectBytes)
        return std::nullopt;
    Reader in(data, 8 + rectBytes);
    if (!in.has(4))
        return std::nullopt;
    movie.widthTwips = field(1) - field(0);
    movie.heightTwips = field(3) - field(2);
    movie.frameRate = in.u16() / 256.0;
    movie.frameCount = static_cast<int>(in.u16());
    QList<FsCommand> pending;
    while (in.has(2)) {
        const unsigned codeAndLength = in.u16();
        int length = static_cast<int>(codeAndLength & 0x3f);
        if (length == 0x3f) {
            if (!in.has(4))
                break;
            length = static_cast<int>(in.u32());
        }
        if (!in.has(length))
            break;
        const auto code = static_cast<TagCode>(codeAndLength >> 6);
        const int start = in.pos();
        if (code == TagCode::End)
            break;
        if (code == TagCode::ShowFrame) {
            movie.frames.append(pending);
            pending.clear();
        } else if (code == TagCode::SetBackgroundColor && length >= 3) {
            const int r = static_cast<int>(in.u8()), g = static_cast<int>(in.u8());
            movie.background = QColor(r, g, static_cast<int>(in.u8()));
        } else if (code == TagCode::DoAction) {
            pending.append(readActions(data, start, start + length));
        }
        in = Reader(data, start + length);
    }
    return movie;
}

std::optional<SwfMovie> SwfMovie::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parse(file.readAll());
}

} // namespace platform
