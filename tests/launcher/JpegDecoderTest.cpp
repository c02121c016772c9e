#include "jpeg/LibJpegDecoder.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray jpegOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 95);
    return bytes;
}

} // namespace

TEST(LibJpegDecoder, DecodesAPicture) {
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(QColor(200, 30, 40));
    const QByteArray bytes = jpegOf(picture);
    ASSERT_FALSE(bytes.isEmpty());
    const QImage decoded = platform::LibJpegDecoder::decode(bytes);
    ASSERT_EQ(decoded.size(), QSize(640, 480));
    const QColor centre = decoded.pixelColor(320, 240);
    EXPECT_NEAR(centre.red(), 200, 6);
    EXPECT_NEAR(centre.green(), 30, 6);
}

TEST(LibJpegDecoder, BrokenOrMissingFilesReturnNullWithoutEndingTheProcess) {
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    const QByteArray good = jpegOf(picture);
    QByteArray corrupt = good;
    for (int i = 2; i < 40; ++i)
        corrupt[i] = static_cast<char>(0x5A);
    const QByteArray cases[] = {QByteArray(), QByteArray("not a jpeg"), good.left(2), corrupt};
    for (const QByteArray& bytes : cases)
        EXPECT_TRUE(platform::LibJpegDecoder::decode(bytes).isNull()) << bytes.size();
    EXPECT_TRUE(platform::LibJpegDecoder().decodeFile("/nonexistent/launcher.jpg").isNull());
}

// A picture whose header claims an absurd size is refused before anything is
// allocated for it; one of a plausible size whose data ends early still
// decodes (libjpeg fills what is missing).
TEST(LibJpegDecoder, RefusesPicturesClaimingAnAbsurdSize) {
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    const QByteArray good = jpegOf(picture);
    const qsizetype frame = good.indexOf("\xff\xc0");
    ASSERT_GT(frame, 0) << "a baseline frame header";
    auto claiming = [&](int width, int height) {
        QByteArray bytes = good;
        bytes[frame + 5] = static_cast<char>(height >> 8);
        bytes[frame + 6] = static_cast<char>(height & 0xff);
        bytes[frame + 7] = static_cast<char>(width >> 8);
        bytes[frame + 8] = static_cast<char>(width & 0xff);
        return bytes;
    };
    const struct {
        int width, height;
        bool accepted;
    } cases[] = {{65488, 65488, false},
                 {16385, 16, false},
                 {16, 16385, false},
                 {8000, 8000, false},
                 {1000, 700, true}};
    for (const auto& c : cases) {
        const QImage decoded = platform::LibJpegDecoder::decode(claiming(c.width, c.height));
        if (c.accepted)
            EXPECT_EQ(decoded.size(), QSize(c.width, c.height));
        else
            EXPECT_TRUE(decoded.isNull()) << c.width << " x " << c.height;
    }
}
