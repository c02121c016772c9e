#include "agent/AgentFile.h"
#include "AgentTestSupport.h"
#include "PlatformError.h"

#include "support/PeakMemory.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <gtest/gtest.h>
#include <zlib.h>

using platform::AgentFile;
using platform::PlatformError;

namespace {

AgentFile smallCharacter() {
    AgentFile f;
    f.name = "Tiny";
    f.frameSize = QSize(8, 6);
    for (QColor c : {QColor(Qt::red), QColor(Qt::blue)}) {
        QImage image(f.frameSize, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        image.setPixelColor(2, 3, c);
        f.images.push_back(image);
    }
    f.animations = {{"RestPose", {{0, 100}}}, {"Wave", {{0, 50}, {1, 70}, {0, 50}}}};
    return f;
}

// Puts a correct checksum on changed bytes, so only the contents are wrong.
QByteArray withFreshChecksum(QByteArray bytes) {
    const auto* body = reinterpret_cast<const Bytef*>(bytes.constData() + 16);
    const quint32 crc = static_cast<quint32>(
        crc32(crc32(0L, Z_NULL, 0), body, static_cast<uInt>(bytes.size() - 16)));
    for (int i = 0; i < 4; ++i)
        bytes[12 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
    return bytes;
}

QByteArray pngOf(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// A character file written field by field, so that it may break the rules
// AgentFile::serialize keeps: the given frame images, one "RestPose" frame.
QByteArray characterBytes(QSize frame, const QList<QByteArray>& pngs) {
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(frame.width()) << quint16(frame.height()) << quint16(1);
    out.writeRawData("T", 1);
    out << quint16(pngs.size());
    for (const QByteArray& png : pngs) {
        out << quint32(png.size());
        out.writeRawData(png.constData(), static_cast<int>(png.size()));
    }
    out << quint16(1) << quint16(8);
    out.writeRawData("RestPose", 8);
    out << quint16(1) << quint16(0) << quint16(100);
    return withFreshChecksum(QByteArray("VRBAGENT\x01\x00\x00\x00\0\0\0\0", 16) + body);
}

class AgentFileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { AgentTestSupport::ensureApplication(); }
};

TEST_F(AgentFileTest, EveryCharacterFileHoldsTheAnimationsPlayedForItUnderTheirExactNames) {
    for (const auto& c : AgentTestSupport::characters()) {
        const AgentFile f = AgentFile::load(AgentTestSupport::characterFile(c.name));
        EXPECT_EQ(f.name, c.name);
        QStringList names;
        for (const auto& a : f.animations)
            names << a.name;
        for (const QString& wanted :
             c.animations + QStringList{"RestPose", "Idle", "Showing", "Hiding"})
            EXPECT_TRUE(names.contains(wanted))
                << c.name.toStdString() << " lacks " << wanted.toStdString();
        for (const auto& a : f.animations)
            EXPECT_GE(a.frames.size(), a.name == "RestPose" ? 1 : 4) << a.name.toStdString();
    }
}

TEST_F(AgentFileTest, TheFourCharactersLookDifferent) {
    std::vector<QImage> rest;
    for (const auto& c : AgentTestSupport::characters()) {
        const AgentFile f = AgentFile::load(AgentTestSupport::characterFile(c.name));
        rest.push_back(f.images[f.find("RestPose")->frames.front().image]);
    }
    for (size_t a = 0; a < rest.size(); ++a)
        for (size_t b = a + 1; b < rest.size(); ++b) {
            ASSERT_EQ(rest[a].size(), rest[b].size());
            int differing = 0;
            for (int y = 0; y < rest[a].height(); ++y)
                for (int x = 0; x < rest[a].width(); ++x)
                    differing += rest[a].pixel(x, y) != rest[b].pixel(x, y);
            EXPECT_GT(differing, rest[a].width() * rest[a].height() / 6) << a << " vs " << b;
        }
}

TEST_F(AgentFileTest, WrittenFileReadsBackTheSame) {
    const AgentFile original = smallCharacter();
    const AgentFile copy = AgentFile::parse(original.serialize());
    EXPECT_EQ(copy.name, original.name);
    EXPECT_EQ(copy.frameSize, original.frameSize);
    ASSERT_EQ(copy.images.size(), 2);
    EXPECT_EQ(copy.images[1].pixelColor(2, 3), QColor(Qt::blue));
    EXPECT_EQ(copy.images[1].pixelColor(0, 0).alpha(), 0);
    ASSERT_EQ(copy.animations.size(), 2);
    EXPECT_EQ(copy.animations[1].name, "Wave");
    ASSERT_EQ(copy.animations[1].frames.size(), 3);
    EXPECT_EQ(copy.animations[1].frames[1].image, 1);
    EXPECT_EQ(copy.animations[1].frames[1].durationMs, 70);
}

TEST_F(AgentFileTest, AnimationNamesMatchExactlyFirstThenWithoutCase) {
    AgentFile f = smallCharacter();
    f.animations.push_back({"wave", {{1, 10}}});
    EXPECT_EQ(f.find("Wave"), &f.animations[1]);
    EXPECT_EQ(f.find("wave"), &f.animations[2]);
    EXPECT_EQ(f.find("WAVE"), &f.animations[1]);
    EXPECT_EQ(f.find("Jump"), nullptr);
}

TEST_F(AgentFileTest, DamagedOrForeignBytesAreRefused) {
    const QByteArray good = smallCharacter().serialize();
    ASSERT_NO_THROW(AgentFile::parse(good));
    QByteArray flippedBody = good;
    flippedBody[good.size() - 3] = static_cast<char>(flippedBody[good.size() - 3] ^ 0x40);
    QByteArray otherVersion = good;
    otherVersion[8] = 2;
    QByteArray notPng = good;
    notPng.replace(QByteArray("\x89PNG", 4), QByteArray("XPNG"));
    QByteArray badIndex = good;
    // The last frame of "Wave" is image 0 then 50 ms; point it at image 9.
    badIndex[good.size() - 4] = 9;
    QByteArray pngRiff = QByteArray("RIFF") + good.mid(4);

    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"foreign", pngRiff},
        {"header only", good.left(16)},
        {"truncated", good.left(good.size() / 2)},
        {"one byte short", good.left(good.size() - 1)},
        {"trailing bytes", withFreshChecksum(good + "xyz")},
        {"flipped body bit", flippedBody},
        {"other version", otherVersion},
        {"frame not a PNG", withFreshChecksum(notPng)},
        {"frame index out of range", withFreshChecksum(badIndex)},
    };
    for (const auto& [what, bytes] : cases)
        EXPECT_THROW(AgentFile::parse(bytes), PlatformError) << what;
}

TEST_F(AgentFileTest, MissingFileIsAnError) {
    EXPECT_THROW(AgentFile::load(AgentTestSupport::scratchFolder() + "/nothing/Genie.acs"),
                 PlatformError);
}

TEST_F(AgentFileTest, ContentsThatBreakTheRulesAreNotWritten) {
    auto broken = [](const std::function<void(AgentFile&)>& change) {
        AgentFile f = smallCharacter();
        change(f);
        return f;
    };
    const std::pair<const char*, AgentFile> cases[] = {
        {"no rest pose", broken([](AgentFile& f) { f.animations[0].name = "Rest"; })},
        {"image index", broken([](AgentFile& f) { f.animations[1].frames[0].image = 2; })},
        {"zero duration", broken([](AgentFile& f) { f.animations[1].frames[0].durationMs = 0; })},
        {"empty animation", broken([](AgentFile& f) { f.animations[1].frames.clear(); })},
        {"image size", broken([](AgentFile& f) { f.images[1] = f.images[1].scaled(9, 6); })},
        {"no images", broken([](AgentFile& f) { f.images.clear(); })},
    };
    for (const auto& [what, file] : cases)
        EXPECT_THROW(file.serialize(), PlatformError) << what;
}

} // namespace

// A frame's size is read from its PNG header before it is decoded, and the
// frames' total size is checked before any is: a small file cannot make the
// player allocate picture after picture.
TEST_F(AgentFileTest, OversizedFramesAreRefusedBeforeTheyAreDecoded) {
    QImage huge(4096, 4096, QImage::Format_Mono);
    huge.fill(0);
    QImage full(1024, 1024, QImage::Format_Mono);
    full.fill(1);
    const QByteArray small = pngOf(QImage(8, 6, QImage::Format_ARGB32_Premultiplied));
    const std::pair<const char*, QByteArray> cases[] = {
        {"a 4096 x 4096 frame in an 8 x 6 character",
         characterBytes(QSize(8, 6), {small, pngOf(huge)})},
        {"65 frames of 1024 x 1024",
         characterBytes(QSize(1024, 1024), QList<QByteArray>(65, pngOf(full)))},
    };
    for (const auto& [what, bytes] : cases) {
        ASSERT_LT(bytes.size(), 1024 * 1024) << what;
        const PeakMemory peak;
        EXPECT_THROW(AgentFile::parse(bytes), PlatformError) << what;
        EXPECT_LT(peak.risenMiB(), 24) << what;
    }
    EXPECT_NO_THROW(AgentFile::parse(characterBytes(QSize(8, 6), {small})));
}

// A name's length is stored in 16 bits: a longer one is refused, never cut.
TEST_F(AgentFileTest, NamesLongerThanTheirLengthFieldAreNotWritten) {
    const QString tooLong(0x10000, QChar('x'));
    const QString longestChinese(0xFFFF / 3, QChar(0x4F60)); // three bytes each in UTF-8
    AgentFile named = smallCharacter();
    named.name = tooLong;
    AgentFile animated = smallCharacter();
    animated.animations[1].name = QString(0x5556, QChar(0x4F60)); // 65,538 bytes
    EXPECT_THROW(named.serialize(), PlatformError);
    EXPECT_THROW(animated.serialize(), PlatformError);

    AgentFile longest = smallCharacter();
    longest.name = longestChinese;
    longest.animations[1].name = QString(0xFFFF, QChar('w'));
    const AgentFile copy = AgentFile::parse(longest.serialize());
    EXPECT_EQ(copy.name, longestChinese);
    EXPECT_EQ(copy.animations[1].name.size(), 0xFFFF);
}
