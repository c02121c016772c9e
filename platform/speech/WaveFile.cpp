#include "WaveFile.h"

#include "PlatformError.h"
#include "paths/PathLookup.h"

#include <QFile>
#include <sndfile.h>

namespace platform {

namespace {

bool isWaveContainer(int format) {
    const int major = format & SF_FORMAT_TYPEMASK;
    return major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_RF64;
}

} // namespace

WaveFile WaveFile::read(const QString& path) {
    SF_INFO info{};
    const QByteArray name = QFile::encodeName(PathLookup().resolve(path));
    SNDFILE* file = sf_open(name.constData(), SFM_READ, &info);
    if (!file)
        throw PlatformError(QStringLiteral("Cannot open the sound file %1: %2")
                                .arg(path, QString::fromUtf8(sf_strerror(nullptr))));
    if (!isWaveContainer(info.format) || info.channels <= 0 || info.samplerate <= 0) {
        sf_close(file);
        throw PlatformError(QStringLiteral("Not a wave file: %1").arg(path));
    }
    WaveFile wave;
    wave.sampleRate = info.samplerate;
    wave.channels = info.channels;
    wave.samples.resize(static_cast<std::size_t>(info.frames) * info.channels);
    const sf_count_t got = sf_readf_short(file, wave.samples.data(), info.frames);
    sf_close(file);
    wave.samples.resize(static_cast<std::size_t>(std::max<sf_count_t>(got, 0)) * info.channels);
    return wave;
}

std::vector<std::int16_t> WaveFile::toMono16k() const {
    const std::size_t n = frames();
    std::vector<double> mono(n);
    for (std::size_t i = 0; i < n; ++i) {
        double sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += samples[i * channels + c];
        mono[i] = sum / channels;
    }
    if (sampleRate == 16000 || n == 0)
        return {mono.begin(), mono.end()};
    const double step = static_cast<double>(sampleRate) / 16000.0;
    const auto outCount = static_cast<std::size_t>(static_cast<double>(n) / step);
    std::vector<std::int16_t> out(outCount);
    for (std::size_t i = 0; i < outCount; ++i) {
        const double pos = static_cast<double>(i) * step;
        const auto k = static_cast<std::size_t>(pos);
        const double frac = pos - static_cast<double>(k);
        const double next = k + 1 < n ? mono[k + 1] : mono[k];
        out[i] = static_cast<std::int16_t>(mono[k] + (next - mono[k]) * frac);
    }
    return out;
}

} // namespace platform
