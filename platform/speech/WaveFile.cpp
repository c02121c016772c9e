#include "WaveFile.h"

#include "PlatformError.h"
#include "paths/PathLookup.h"

#include <QFile>
#include <QFileInfo>
#include <sndfile.h>

#include <algorithm>

#include <memory>
#include <new>
#include <stdexcept>

namespace platform {

namespace {

bool isWaveContainer(int format) {
    const int major = format & SF_FORMAT_TYPEMASK;
    return major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_RF64;
}

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

PlatformError tooLong(const QString& path) {
    return PlatformError(QStringLiteral("The sound file %1 is too long (more than %2 samples)")
                             .arg(path)
                             .arg(WaveFile::kMaxSamples));
}

// Decodes the samples in blocks: what is kept grows with what the file
// really holds (room for the file's own size is made at once, as 16-bit
// audio takes about that), never with the length its header claims.
std::vector<std::int16_t> readSamples(SNDFILE* file, int channels, std::size_t fileBytes,
                                      const QString& path) {
    const sf_count_t blockFrames = std::max(1, 65536 / channels);
    const auto blockSamples = static_cast<std::size_t>(blockFrames * channels);
    std::vector<std::int16_t> samples;
    samples.reserve(std::min(fileBytes / 2 + blockSamples, WaveFile::kMaxSamples));
    for (;;) {
        const std::size_t at = samples.size();
        if (at + blockSamples > WaveFile::kMaxSamples)
            throw tooLong(path);
        samples.resize(at + blockSamples);
        const sf_count_t got = sf_readf_short(file, samples.data() + at, blockFrames);
        samples.resize(at + static_cast<std::size_t>(std::max<sf_count_t>(got, 0) * channels));
        if (got < blockFrames)
            return samples;
    }
}

WaveFile readWave(const QString& path) {
    SF_INFO info{};
    const QString local = PathLookup().resolve(path);
    const QByteArray name = QFile::encodeName(local);
    const std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open(name.constData(), SFM_READ, &info));
    if (!file)
        throw PlatformError(QStringLiteral("Cannot open the sound file %1: %2")
                                .arg(path, QString::fromUtf8(sf_strerror(nullptr))));
    if (!isWaveContainer(info.format) || info.channels <= 0 || info.samplerate <= 0)
        throw PlatformError(QStringLiteral("Not a wave file: %1").arg(path));
    if (info.frames > static_cast<sf_count_t>(WaveFile::kMaxSamples / info.channels))
        throw tooLong(path);
    WaveFile wave;
    wave.sampleRate = info.samplerate;
    wave.channels = info.channels;
    const auto fileBytes = static_cast<std::size_t>(std::max<qint64>(QFileInfo(local).size(), 0));
    wave.samples = readSamples(file.get(), info.channels, fileBytes, path);
    return wave;
}

} // namespace

WaveFile WaveFile::read(const QString& path) {
    try {
        return readWave(path);
    } catch (const std::bad_alloc&) {
        throw PlatformError(
            QStringLiteral("Not enough memory to read the sound file %1").arg(path));
    } catch (const std::length_error&) {
        throw tooLong(path);
    }
}

std::vector<std::int16_t> WaveFile::toMono16k() const {
    const std::size_t n = frames();
    auto mono = [&](std::size_t i) {
        double sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += samples[i * channels + c];
        return sum / channels;
    };
    if (n == 0)
        return {};
    if (sampleRate == 16000) {
        std::vector<std::int16_t> out(n);
        for (std::size_t i = 0; i < n; ++i)
            out[i] = static_cast<std::int16_t>(mono(i));
        return out;
    }
    const double step = static_cast<double>(sampleRate) / 16000.0;
    const auto outCount = static_cast<std::size_t>(static_cast<double>(n) / step);
    std::vector<std::int16_t> out(outCount);
    for (std::size_t i = 0; i < outCount; ++i) {
        const double pos = static_cast<double>(i) * step;
        const auto k = static_cast<std::size_t>(pos);
        const double frac = pos - static_cast<double>(k);
        const double here = mono(k);
        const double next = k + 1 < n ? mono(k + 1) : here;
        out[i] = static_cast<std::int16_t>(here + (next - here) * frac);
    }
    return out;
}

} // namespace platform
