#include "flash/SwfMovie.h"
#include "SwfWriter.h"

#include <gtest/gtest.h>

namespace {

SwfWriter sample() {
    SwfWriter movie(640, 480, 24.0, QColor(1, 2, 3));
    movie.addFrame();
    movie.addFrame({{"Back", "now"}, {"fullscreen", "true"}});
    movie.addFrame();
    movie.addFrame({{"Quit", ""}});
    return movie;
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
