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
