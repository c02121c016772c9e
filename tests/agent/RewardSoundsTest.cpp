#include <QCryptographicHash>
#include <QFile>
#include <QSet>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <vector>

namespace {

const QString kWave = QStringLiteral(VERBARO_WAVE_DIR);

const QStringList kSounds = {
    "try again.wav", "try another.wav", "good.wav",   "ok.wav",      "well done.wav", "perfect.wav",
    "win001.wav",    "win002.wav",      "win003.wav", "lost001.wav", "lost002.wav",   "lost003.wav",
    "win201.wav",    "win202.wav",      "win203.wav", "lost201.wav", "lost202.wav",   "lost203.wav",
};

TEST(RewardSoundsTest, EverySoundIsAShortAudibleWaveAndNoTwoAreAlike) {
    QSet<QByteArray> digests;
    for (const QString& name : kSounds) {
        const QString path = kWave + "/" + name;
        SF_INFO info{};
        SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
        ASSERT_NE(f, nullptr) << name.toStdString() << ": " << sf_strerror(nullptr);
        EXPECT_EQ(info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_WAV) << name.toStdString();
        std::vector<float> samples(static_cast<size_t>(info.frames * info.channels));
        sf_readf_float(f, samples.data(), info.frames);
        sf_close(f);
        const double seconds = double(info.frames) / info.samplerate;
        EXPECT_GT(seconds, 0.2) << name.toStdString();
        EXPECT_LT(seconds, 3.0) << name.toStdString();
        float peak = 0;
        for (float s : samples)
            peak = std::max(peak, std::abs(s));
        EXPECT_GT(peak, 0.2f) << name.toStdString();

        QFile raw(path);
        ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
        digests.insert(QCryptographicHash::hash(raw.readAll(), QCryptographicHash::Sha1));
    }
    EXPECT_EQ(digests.size(), kSounds.size());
}

// Reads a MIDI variable-length quantity; false when it runs past the end.
bool readLength(const QByteArray& b, qsizetype& at, quint32& value) {
    value = 0;
    for (int i = 0; i < 4 && at < b.size(); ++i) {
        const auto byte = static_cast<quint8>(b[at++]);
        value = (value << 7) | (byte & 0x7F);
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

quint32 bigEndian(const QByteArray& b, qsizetype at, int bytes) {
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | static_cast<quint8>(b[at + i]);
    return v;
}

TEST(RewardSoundsTest, BackgroundMusicIsAWellFormedMidiFile) {
    QFile f(kWave + "/backsound.mid");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    ASSERT_GE(b.size(), 22);
    ASSERT_EQ(b.left(4), "MThd");
    EXPECT_EQ(bigEndian(b, 4, 4), 6u);
    EXPECT_EQ(bigEndian(b, 8, 2), 0u) << "format 0";
    EXPECT_EQ(bigEndian(b, 10, 2), 1u) << "one track";
    ASSERT_EQ(b.mid(14, 4), "MTrk");
    const quint32 length = bigEndian(b, 18, 4);
    ASSERT_EQ(22 + qsizetype(length), b.size());

    // Walk every event: each must be complete, and the track must end with End of Track.
    qsizetype at = 22;
    int notesOn = 0;
    bool ended = false;
    while (at < b.size()) {
        ASSERT_FALSE(ended) << "events after End of Track";
        quint32 delta = 0;
        ASSERT_TRUE(readLength(b, at, delta));
        ASSERT_LT(at, b.size());
        const auto status = static_cast<quint8>(b[at++]);
        if (status == 0xFF) {
            const auto type = static_cast<quint8>(b[at++]);
            quint32 size = 0;
            ASSERT_TRUE(readLength(b, at, size));
            ended = type == 0x2F;
            at += size;
        } else {
            ASSERT_GE(status, 0x80) << "running status is not used";
            const int kind = status & 0xF0;
            const int dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
            notesOn += kind == 0x90 && static_cast<quint8>(b[at + 1]) > 0;
            at += dataBytes;
        }
        ASSERT_LE(at, b.size());
    }
    EXPECT_TRUE(ended);
    EXPECT_GE(notesOn, 16);
}

} // namespace
