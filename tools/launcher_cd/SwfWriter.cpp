#include "SwfWriter.h"

#include <zlib.h>

namespace {

void putU16(QByteArray& out, unsigned v) {
    out.append(static_cast<char>(v & 0xff));
    out.append(static_cast<char>((v >> 8) & 0xff));
}

void putU32(QByteArray& out, unsigned v) {
    putU16(out, v & 0xffff);
    putU16(out, v >> 16);
}

// The frame rectangle in twips with 16-bit fields.
QByteArray rect(int width, int height) {
    constexpr int bits = 16;
    const unsigned fields[] = {0, static_cast<unsigned>(width * 20), 0,
                               static_cast<unsigned>(height * 20)};
    QByteArray out((5 + 4 * bits + 7) / 8, '\0');
    int bit = 0;
    auto put = [&](unsigned value, int count) {
        for (int i = count - 1; i >= 0; --i, ++bit)
            if ((value >> i) & 1)
                out[bit / 8] = static_cast<char>(out[bit / 8] | (0x80 >> (bit % 8)));
    };
    put(bits, 5);
    for (unsigned f : fields)
        put(f, bits);
    return out;
}

} // namespace

SwfWriter::SwfWriter(int width, int height, double frameRate, QColor background)
    : m_width(width), m_height(height), m_frameRate(frameRate), m_background(background) {
    QByteArray rgb;
    rgb.append(static_cast<char>(background.red()));
    rgb.append(static_cast<char>(background.green()));
    rgb.append(static_cast<char>(background.blue()));
    m_tags += tag(9, rgb);
}

QByteArray SwfWriter::tag(int code, const QByteArray& body) {
    QByteArray out;
    if (body.size() < 0x3f) {
        putU16(out, static_cast<unsigned>(code << 6 | body.size()));
    } else {
        putU16(out, static_cast<unsigned>(code << 6 | 0x3f));
        putU32(out, static_cast<unsigned>(body.size()));
    }
    return out + body;
}

void SwfWriter::addFrame(const Commands& commands) {
    if (!commands.isEmpty()) {
        QByteArray actions;
        for (const auto& [command, arguments] : commands) {
            const QByteArray body =
                "FSCommand:" + command.toUtf8() + '\0' + arguments.toUtf8() + '\0';
            actions.append(static_cast<char>(0x83));
            putU16(actions, static_cast<unsigned>(body.size()));
            actions += body;
        }
        actions.append('\0');
        m_tags += tag(12, actions);
    }
    m_tags += tag(1, {});
    ++m_frames;
}

QByteArray SwfWriter::bytes(bool compressed) const {
    QByteArray body = rect(m_width, m_height);
    putU16(body, static_cast<unsigned>(m_frameRate * 256));
    putU16(body, static_cast<unsigned>(m_frames));
    body += m_tags + tag(0, {});
    QByteArray out(compressed ? "CWS" : "FWS");
    out.append(static_cast<char>(6));
    putU32(out, static_cast<unsigned>(8 + body.size()));
    if (!compressed)
        return out + body;
    uLongf length = compressBound(static_cast<uLong>(body.size()));
    QByteArray packed(static_cast<qsizetype>(length), '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &length,
             reinterpret_cast<const Bytef*>(body.constData()), static_cast<uLong>(body.size()));
    packed.truncate(static_cast<qsizetype>(length));
    return out + packed;
}
