#include "agent/AgentFile.h"

#include "PlatformError.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QImageReader>
#include <QSaveFile>
#include <zlib.h>

namespace platform {

namespace {

const QByteArray kMagic = QByteArrayLiteral("VRBAGENT");
constexpr quint16 kVersion = 1;
constexpr int kHeaderSize = 16; // magic, version, reserved, CRC
constexpr int kMaxSide = 1024;

quint32 crcOf(const QByteArray& bytes, qsizetype from) {
    const auto* data = reinterpret_cast<const Bytef*>(bytes.constData() + from);
    return static_cast<quint32>(
        crc32(crc32(0L, Z_NULL, 0), data, static_cast<uInt>(bytes.size() - from)));
}

// Reads the body fields in order and stops at the first one that is missing
// or out of range, so a damaged file never yields a half-read character.
class BodyReader {
public:
    explicit BodyReader(const QByteArray& body) : m_stream(body) {
        m_stream.setByteOrder(QDataStream::LittleEndian);
    }

    quint16 u16() {
        quint16 v = 0;
        m_stream >> v;
        check();
        return v;
    }
    quint32 u32() {
        quint32 v = 0;
        m_stream >> v;
        check();
        return v;
    }
    QByteArray bytes(quint32 count) {
        if (count > static_cast<quint32>(m_stream.device()->bytesAvailable()))
            throw PlatformError("the character file is truncated");
        QByteArray out(static_cast<qsizetype>(count), Qt::Uninitialized);
        if (count > 0)
            m_stream.readRawData(out.data(), static_cast<int>(count));
        return out;
    }
    QString string() {
        const QByteArray utf8 = bytes(u16());
        if (!utf8.isValidUtf8())
            throw PlatformError("the character file holds a name that is not UTF-8");
        return QString::fromUtf8(utf8);
    }
    bool atEnd() const { return m_stream.atEnd(); }

private:
    void check() {
        if (m_stream.status() != QDataStream::Ok)
            throw PlatformError("the character file is truncated");
    }
    QDataStream m_stream;
};

void writeString(QDataStream& out, const QString& s) {
    const QByteArray utf8 = s.toUtf8();
    out << static_cast<quint16>(utf8.size());
    out.writeRawData(utf8.constData(), static_cast<int>(utf8.size()));
}

QByteArray pngOf(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG", 9))
        throw PlatformError("a character frame could not be encoded");
    return png;
}

// One frame image. Its size is read from the PNG header before anything is
// decoded: a small file must not make us allocate a picture of any size.
QImage readFrame(const QByteArray& png, QSize frameSize, int index) {
    QBuffer buffer;
    buffer.setData(png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "PNG");
    if (reader.size() != frameSize)
        throw PlatformError(
            QString("frame image %1 of the character file does not have the frame size")
                .arg(index));
    QImage image;
    if (!reader.read(&image) || image.size() != frameSize)
        throw PlatformError(QString("frame image %1 of the character file is damaged").arg(index));
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

AgentFile parseBody(const QByteArray& body) {
    BodyReader in(body);
    AgentFile file;
    const int width = in.u16();
    const int height = in.u16();
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        throw PlatformError("invalid character: frame size out of range");
    file.frameSize = QSize(width, height);
    file.name = in.string();
    const int imageCount = in.u16();
    if (qint64{imageCount} * width * height > AgentFile::kMaxTotalPixels)
        throw PlatformError("invalid character: its frame images are too large in all");
    for (int i = 0; i < imageCount; ++i)
        file.images.push_back(readFrame(in.bytes(in.u32()), file.frameSize, i));
    const int animationCount = in.u16();
    for (int a = 0; a < animationCount; ++a) {
        AgentFile::Animation animation;
        animation.name = in.string();
        const int frameCount = in.u16();
        for (int f = 0; f < frameCount; ++f) {
            AgentFile::Frame frame;
            frame.image = in.u16();
            frame.durationMs = in.u16();
            animation.frames.push_back(frame);
        }
        file.animations.push_back(animation);
    }
    if (!in.atEnd())
        throw PlatformError("the character file has trailing data");
    return file;
}

} // namespace

AgentFile AgentFile::load(const QString& path) {
    QFile f(path);
    if (!f.exists())
        throw PlatformError(QString("character file not found: %1").arg(path));
    if (!f.open(QIODevice::ReadOnly))
        throw PlatformError(
            QString("cannot read character file %1: %2").arg(path, f.errorString()));
    if (f.size() > kMaxFileBytes)
        throw PlatformError(
            QString("%1: the character file is larger than %2 bytes").arg(path).arg(kMaxFileBytes));
    try {
        return parse(f.readAll());
    } catch (const PlatformError& e) {
        throw PlatformError(QString("%1: %2").arg(path, e.message()));
    }
}

AgentFile AgentFile::parse(const QByteArray& bytes) {
    if (bytes.size() < kHeaderSize || !bytes.startsWith(kMagic))
        throw PlatformError("not a character file");
    QDataStream header(bytes);
    header.setByteOrder(QDataStream::LittleEndian);
    header.skipRawData(static_cast<int>(kMagic.size()));
    quint16 version = 0;
    quint16 reserved = 0;
    quint32 crc = 0;
    header >> version >> reserved >> crc;
    if (version != kVersion)
        throw PlatformError(QString("unsupported character file version %1").arg(version));
    if (crc != crcOf(bytes, kHeaderSize))
        throw PlatformError("the character file is damaged (checksum mismatch)");
    AgentFile file = parseBody(bytes.mid(kHeaderSize));
    file.validate();
    return file;
}

QByteArray AgentFile::serialize() const {
    validate();
    QByteArray body;
    {
        QDataStream out(&body, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        out << static_cast<quint16>(frameSize.width()) << static_cast<quint16>(frameSize.height());
        writeString(out, name);
        out << static_cast<quint16>(images.size());
        for (const QImage& image : images) {
            const QByteArray png = pngOf(image);
            out << static_cast<quint32>(png.size());
            out.writeRawData(png.constData(), static_cast<int>(png.size()));
        }
        out << static_cast<quint16>(animations.size());
        for (const Animation& animation : animations) {
            writeString(out, animation.name);
            out << static_cast<quint16>(animation.frames.size());
            for (const Frame& frame : animation.frames)
                out << static_cast<quint16>(frame.image) << static_cast<quint16>(frame.durationMs);
        }
    }
    QByteArray bytes = kMagic;
    QDataStream header(&bytes, QIODevice::Append);
    header.setByteOrder(QDataStream::LittleEndian);
    const quint16 reserved = 0;
    header << kVersion << reserved << crcOf(body, 0);
    return bytes + body;
}

void AgentFile::save(const QString& path) const {
    const QByteArray bytes = serialize();
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw PlatformError(
            QString("cannot write character file %1: %2").arg(path, f.errorString()));
}

const AgentFile::Animation* AgentFile::find(const QString& animation) const {
    for (const Animation& a : animations)
        if (a.name == animation)
            return &a;
    for (const Animation& a : animations)
        if (a.name.compare(animation, Qt::CaseInsensitive) == 0)
            return &a;
    return nullptr;
}

void AgentFile::validate() const {
    auto fail = [](const QString& why) { throw PlatformError("invalid character: " + why); };
    auto storable = [](const QString& s) { return s.toUtf8().size() <= 0xFFFF; };
    if (!storable(name))
        fail("the name is longer than 65,535 bytes");
    if (frameSize.width() < 1 || frameSize.height() < 1 || frameSize.width() > kMaxSide ||
        frameSize.height() > kMaxSide)
        fail("frame size out of range");
    if (images.isEmpty() || images.size() > 0xFFFF)
        fail("wrong number of frame images");
    if (qint64{images.size()} * frameSize.width() * frameSize.height() > kMaxTotalPixels)
        fail("the frame images are too large in all");
    for (const QImage& image : images)
        if (image.size() != frameSize)
            fail("a frame image does not have the frame size");
    if (animations.isEmpty() || animations.size() > 0xFFFF)
        fail("wrong number of animations");
    for (const Animation& a : animations) {
        if (a.name.isEmpty() || a.frames.isEmpty() || a.frames.size() > 0xFFFF)
            fail(QString("animation \"%1\" is empty or unnamed").arg(a.name));
        if (!storable(a.name))
            fail("an animation name is longer than 65,535 bytes");
        for (const Frame& f : a.frames)
            if (f.image < 0 || f.image >= images.size() || f.durationMs < 1 ||
                f.durationMs > 0xFFFF)
                fail(QString("animation \"%1\" has a bad frame").arg(a.name));
    }
    if (!find("RestPose"))
        fail("no \"RestPose\" animation");
}

} // namespace platform
