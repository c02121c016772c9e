#include "flash/SwfMovie.h"
#include "SwfWriter.h"
#include "support/PeakMemory.h"

#include <gtest/gtest.h>

#include <array>

namespace {

SwfWriter sample() {
    SwfWriter movie(640, 480, 24.0, QColor(1, 2, 3));
    movie.addFrame();
    movie.addFrame({{"Back", "now"}, {"fullscreen", "true"}});
    movie.addFrame();
    movie.addFrame({{"Quit", ""}});
    return movie;
}

QByteArray le16(unsigned v) {
    QByteArray out;
    out.append(static_cast<char>(v & 0xff)).append(static_cast<char>((v >> 8) & 0xff));
    return out;
}

QByteArray le32(quint32 v) {
    return le16(v & 0xffff) + le16(v >> 16);
}

// A frame rectangle of four `bits`-bit fields (Xmin, Xmax, Ymin, Ymax).
QByteArray rectangle(int bits, const std::array<qint64, 4>& fields) {
    QByteArray out;
    int used = 0;
    auto put = [&](quint64 value, int count) {
        for (int b = count - 1; b >= 0; --b) {
            if (used % 8 == 0)
                out.append('\0');
            if ((value >> b) & 1)
                out[out.size() - 1] = static_cast<char>(out.back() | (0x80 >> (used % 8)));
            ++used;
        }
    };
    put(static_cast<quint64>(bits), 5);
    for (qint64 f : fields)
        put(static_cast<quint64>(f), bits);
    return out;
}

// A tag in the long form, whatever its length.
QByteArray longTag(unsigned code, quint32 length) {
    return le16((code << 6) | 0x3f) + le32(length);
}

const QByteArray kShowFrame = le16(1 << 6);

// An uncompressed movie: header, an empty rectangle, 12 frames/s, then `tags`.
QByteArray movieOf(const QByteArray& tags) {
    const QByteArray body = rectangle(0, {}) + le16(12 << 8) + le16(1) + tags;
    return "FWS" + QByteArray(1, 6) + le32(static_cast<quint32>(8 + body.size())) + body;
}

} // namespace

TEST(SwfMovie, ReadsHeaderTimelineAndCommandsOfBothForms) {
    for (bool compressed : {false, true}) {
        const QByteArray bytes = sample().bytes(compressed);
        EXPECT_EQ(bytes.left(3), compressed ? "CWS" : "FWS");
        const auto movie = platform::SwfMovie::parse(bytes);
        ASSERT_TRUE(movie) << compressed;
        EXPECT_EQ(movie->widthTwips, 640 * 20);
        EXPECT_EQ(movie->heightTwips, 480 * 20);
        EXPECT_DOUBLE_EQ(movie->frameRate, 24.0);
        EXPECT_EQ(movie->frameCount, 4);
        EXPECT_EQ(movie->background, QColor(1, 2, 3));
        ASSERT_EQ(movie->frames.size(), 4);
        EXPECT_TRUE(movie->frames[0].isEmpty());
        EXPECT_EQ(movie->frames[1],
                  (QList<platform::FsCommand>{{"Back", "now"}, {"fullscreen", "true"}}));
        EXPECT_EQ(movie->frames[3], (QList<platform::FsCommand>{{"Quit", ""}}));
    }
}

TEST(SwfMovie, RefusesOrCutsShortBrokenFiles) {
    EXPECT_FALSE(platform::SwfMovie::parse("GIF89a..."));
    EXPECT_FALSE(platform::SwfMovie::parse("FWS"));
    QByteArray compressed = sample().bytes(true);
    compressed.truncate(12);
    EXPECT_FALSE(platform::SwfMovie::parse(compressed));
    QByteArray cut = sample().bytes(false);
    cut.chop(12); // the last frame's tags are gone
    const auto movie = platform::SwfMovie::parse(cut);
    ASSERT_TRUE(movie);
    EXPECT_LT(movie->frames.size(), 4);
}

// A tag whose length runs past the end ends the timeline there: positions
// and lengths are compared in 64 bits, so no length wraps around.
TEST(SwfMovie, TagLengthsBeyondTheFileEndTheTimeline) {
    for (quint32 length : {0x7FFFFFF8u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        for (unsigned code : {1u, 9u, 12u}) {
            QByteArray bytes = movieOf(kShowFrame + longTag(code, length));
            bytes.append(QByteArray(44 - bytes.size(), '\x83'));
            ASSERT_EQ(bytes.size(), 44);
            const auto movie = platform::SwfMovie::parse(bytes);
            ASSERT_TRUE(movie) << length << " " << code;
            EXPECT_EQ(movie->frames.size(), 1) << length << " " << code;
        }
    }
}

// The header's length is only an upper bound: memory follows what the body
// really inflates to.
TEST(SwfMovie, CompressedMovieCostsWhatItsBodyInflatesTo) {
    const QByteArray plain = movieOf(kShowFrame + kShowFrame);
    const QByteArray body = qCompress(plain.mid(8), 9).mid(4); // zlib stream without Qt's prefix
    const PeakMemory peak;
    const auto movie =
        platform::SwfMovie::parse("CWS" + QByteArray(1, 6) + le32(256u * 1024 * 1024) + body);
    EXPECT_LT(peak.risenMiB(), 32);
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->frames.size(), 2);
    EXPECT_FALSE(
        platform::SwfMovie::parse("CWS" + QByteArray(1, 6) + le32(256u * 1024 * 1024 + 1) + body));
}

// The 16-bit frame count is the most frames a movie can announce; commands
// are kept up to a bound as well.
TEST(SwfMovie, FloodsOfFramesAndCommandsStopAtTheirBounds) {
    const auto frames = platform::SwfMovie::parse(movieOf(kShowFrame.repeated(100000)));
    ASSERT_TRUE(frames);
    EXPECT_EQ(frames->frames.size(), 0xFFFF);

    const QByteArray action = QByteArray("\x83") + le16(13) + QByteArray("FSCommand:a\0\0", 13);
    const QByteArray actions = action.repeated(70000) + '\0';
    const auto commands =
        platform::SwfMovie::parse(movieOf(longTag(12, actions.size()) + actions + kShowFrame));
    ASSERT_TRUE(commands);
    ASSERT_EQ(commands->frames.size(), 1);
    EXPECT_EQ(commands->frames[0].size(), 0x10000);
}

// Fields of 31 bits span the whole range of int without overflowing.
TEST(SwfMovie, WidestRectangleFieldsGiveTheirFullExtent) {
    const qint64 low = -(qint64{1} << 30), high = (qint64{1} << 30) - 1;
    const QByteArray body = rectangle(31, {low, high, high, low}) + le16(12 << 8) + le16(1);
    const auto movie = platform::SwfMovie::parse(
        "FWS" + QByteArray(1, 6) + le32(static_cast<quint32>(8 + body.size())) + body);
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->widthTwips, 2147483647);
    EXPECT_EQ(movie->heightTwips, -2147483647);
}
