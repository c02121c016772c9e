#include "speech/WaveFile.h"
#include "PlatformError.h"
#include "support/PeakMemory.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using platform::PlatformError;
using platform::WaveFile;

namespace {

QByteArray le(quint32 v, int bytes) {
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xff));
    return out;
}

// The header of a 16-bit PCM wave file whose data chunk claims `dataBytes`.
QByteArray pcmHeader(int channels, int rate, quint32 dataBytes) {
    const int align = 2 * channels;
    return "RIFF" + le(dataBytes > 0xFFFFFFFF - 36 ? 0xFFFFFFFF : 36 + dataBytes, 4) + "WAVEfmt " +
           le(16, 4) + le(1, 2) + le(channels, 2) + le(rate, 4) + le(rate * align, 4) +
           le(align, 2) + le(16, 2) + "data" + le(dataBytes, 4);
}

class WaveFileTest : public ::testing::Test {
protected:
    QString write(const QByteArray& bytes, qint64 totalSize = -1) {
        const QString path = dir.filePath(QString("w%1.wav").arg(++count));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        if (totalSize > bytes.size()) {
            EXPECT_TRUE(f.resize(totalSize)); // sparse: the rest reads as silence
        }
        return path;
    }
    QTemporaryDir dir;
    int count = 0;
};

TEST_F(WaveFileTest, ReadsInterleavedSamplesAndMixesDownTo16kMono) {
    QByteArray data;
    for (int i = 0; i < 3200; ++i)
        data += le(static_cast<quint16>(1000), 2) + le(static_cast<quint16>(-3000), 2);
    const WaveFile wave = WaveFile::read(write(pcmHeader(2, 32000, data.size()) + data));
    EXPECT_EQ(wave.sampleRate, 32000);
    EXPECT_EQ(wave.channels, 2);
    EXPECT_EQ(wave.frames(), 3200u);
    const auto mono = wave.toMono16k();
    ASSERT_EQ(mono.size(), 1600u);
    EXPECT_EQ(mono.front(), -1000);
    EXPECT_EQ(mono.back(), -1000);
}

// Memory follows the audio the file really holds; a file holding more than
// the most a wave may is refused with the platform's error.
TEST_F(WaveFileTest, SizeComesFromTheFileNotItsHeader) {
    const QByteArray samples(200, '\x01');
    const PeakMemory claims;
    const WaveFile cut = WaveFile::read(write(pcmHeader(1, 16000, 0xFFFFFFF0) + samples));
    EXPECT_EQ(cut.frames(), 100u);
    EXPECT_LT(claims.risenMiB(), 16);

    const qint64 tooMany = 2 * static_cast<qint64>(WaveFile::kMaxSamples) + 2000;
    const QString huge = write(pcmHeader(1, 16000, static_cast<quint32>(tooMany)), 44 + tooMany);
    const PeakMemory refused;
    try {
        WaveFile::read(huge);
        ADD_FAILURE() << "a wave of more than kMaxSamples samples was read";
    } catch (const PlatformError& e) {
        EXPECT_NE(e.message().indexOf("too long"), -1) << e.what();
    }
    EXPECT_LT(refused.risenMiB(), 16);
}

} // namespace
