#include "SpeechTestSupport.h"

#include "PlatformError.h"
#include "speech/PulsePlayback.h"

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <cmath>
#include <sndfile.h>
#include <vector>

// espeak-ng keeps a few allocations of its own (voice data, phoneme tables)
// for the life of the process; they are its, not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libespeak-ng.so\n";
}

namespace speechtest {

bool pulseAvailable() {
    try {
        platform::PulsePlayback probe;
        probe.open(16000, 1);
        return true;
    } catch (const platform::PlatformError&) {
        return false;
    }
}

bool servicesRequired() {
    return qEnvironmentVariable("VERBARO_REQUIRE_SERVICES") == "1";
}

QString tempDir() {
    QString base = qEnvironmentVariable("VERBARO_TEST_TMP");
    if (base.isEmpty())
        base = QDir::tempPath() + "/verbaro-speech-test";
    QDir().mkpath(base);
    return base;
}

void pump(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

QString speak(const QString& text, const QString& voice, int wordsPerMinute) {
    const QByteArray key = (voice + '|' + QString::number(wordsPerMinute) + '|' + text).toUtf8();
    const QString path = tempDir() + "/speech-" +
                         QCryptographicHash::hash(key, QCryptographicHash::Md5).toHex() + ".wav";
    if (QFile::exists(path))
        return path;
    const int status = QProcess::execute(
        "espeak-ng", {"-v", voice, "-s", QString::number(wordsPerMinute), "-w", path, text});
    return status == 0 && QFile::exists(path) ? path : QString();
}

void writeTone(const QString& path, double seconds, int sampleRate) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return;
    std::vector<short> samples(static_cast<std::size_t>(seconds * sampleRate));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<short>(8000 * std::sin(2 * M_PI * 440.0 * i / sampleRate));
    sf_writef_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
}

} // namespace speechtest
