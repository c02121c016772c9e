#include "Corpus.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

using Voice = Corpus::Voice;
using Synth = Voice::Synth;

// Calibration: men, women, British and American, slow and quick.
const Voice kCalibration[] = {{Synth::Espeak, "en-us+m3", 135}, {Synth::Espeak, "en-us+f3", 175},
                              {Synth::Espeak, "en-gb+m4", 160}, {Synth::Espeak, "en-us+f2", 145},
                              {Synth::Espeak, "en-gb+f3", 185}, {Synth::Espeak, "en-us+m7", 165}};
// Held out: other espeak-ng accents, variants and speeds (one with the klatt
// synthesis), and flite's voices.
const Voice kHeldOut[] = {{Synth::Espeak, "en-gb-x-rp+f4", 140},
                          {Synth::Espeak, "en-us+Andy", 195},
                          {Synth::Espeak, "en+klatt2", 160},
                          {Synth::Espeak, "en-gb-scotland+m1", 125},
                          {Synth::Flite, "slt", 0},
                          {Synth::Flite, "rms", 0},
                          {Synth::Flite, "awb", 0}};

QJsonDocument readJson(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll());
}

BenchSample sampleOf(BenchSample::Kind kind, int lesson = -1, int sentence = -1) {
    BenchSample s;
    s.kind = kind;
    s.lesson = lesson;
    s.sentence = sentence;
    return s;
}

// A word added in the middle, the middle word dropped, the middle word changed.
QStringList madeNearMisses(const QString& sentence, const QString& added, const QString& changed) {
    const QStringList words = sentence.split(' ', Qt::SkipEmptyParts);
    QStringList result;
    if (words.size() < 2)
        return result;
    const qsizetype middle = words.size() / 2;
    QStringList plus = words, minus = words, other = words;
    plus.insert(middle, added);
    minus.removeAt(middle);
    other[middle] = changed;
    return {plus.join(' '), minus.join(' '), other.join(' ')};
}

QString wordAt(const QJsonArray& words, int i) {
    return words.isEmpty() ? QString() : words.at(i % words.size()).toString();
}

} // namespace

std::vector<BenchLesson> Corpus::readLessons(const QString& path) {
    std::vector<BenchLesson> lessons;
    for (const QJsonValue row : readJson(path).object().value("rows").toArray()) {
        const QJsonArray sentences = row.toObject().value("sentences").toArray();
        if (sentences.isEmpty())
            continue;
        BenchLesson lesson{row.toObject().value("UnitID").toString(), {}, {}};
        for (const QJsonValue s : sentences) {
            lesson.phrases << s.toObject().value("EDlgSB").toString().trimmed();
            QStringList near;
            for (const QJsonValue n : s.toObject().value("near").toArray())
                near << n.toString();
            lesson.nearOf.push_back(near);
        }
        lessons.push_back(lesson);
    }
    return lessons;
}

QString Corpus::speak(const QString& text, const Voice& voice, bool noisy) {
    const QByteArray key = (QString(voice.name) + '|' + QString::number(voice.speed) + '|' +
                            (voice.synth == Synth::Flite ? "flite|" : "") + text)
                               .toUtf8();
    const QString base =
        m_cache + '/' + QCryptographicHash::hash(key, QCryptographicHash::Md5).toHex();
    const QString clean = base + ".wav";
    if (!QFile::exists(clean)) {
        const int rc =
            voice.synth == Synth::Flite
                ? QProcess::execute("flite", {"-voice", voice.name, "-t", text, "-o", clean})
                : QProcess::execute("espeak-ng", {"-v", voice.name, "-s",
                                                  QString::number(voice.speed), "-w", clean, text});
        if (rc != 0)
            return {};
    }
    if (!noisy)
        return clean;
    const QString mixed = base + "-noise.wav";
    // Pink noise about 20 dB below the speech.
    if (!QFile::exists(mixed) &&
        QProcess::execute("sh", {"-c", QString("sox '%1' -p synth pinknoise vol 0.02 | "
                                               "sox -m '%1' -t sox - '%2'")
                                           .arg(clean, mixed)}) != 0)
        return {};
    return mixed;
}

std::vector<BenchSample> Corpus::build(const std::vector<BenchLesson>& lessons,
                                       const QString& outsidePath) {
    QDir().mkpath(m_cache);
    const QJsonObject outside = readJson(outsidePath).object();
    std::vector<BenchSample> samples;
    bool ok = true;
    auto add = [&](BenchSample s, const QString& text, const Voice& v, bool heldOut) {
        s.text = text;
        s.voice = v.name;
        s.heldOut = heldOut;
        for (bool noisy : {false, true}) {
            s.noisy = noisy;
            s.wave = speak(text, v, noisy);
            ok = ok && !s.wave.isEmpty();
            samples.push_back(s);
        }
    };
    const QJsonArray addWords = outside.value("nearMissWords").toArray();
    const QJsonArray changeWords = outside.value("changeWords").toArray();
    constexpr int kCalibrationCount = std::size(kCalibration);
    constexpr int kHeldOutCount = std::size(kHeldOut);
    int nearCount = 0;
    for (int l = 0; l < static_cast<int>(lessons.size()); ++l) {
        const BenchLesson& lesson = lessons[static_cast<std::size_t>(l)];
        for (int i = 0; i < lesson.phrases.size(); ++i) {
            const QString& text = lesson.phrases[i];
            for (const Voice& v : kCalibration)
                add(sampleOf(BenchSample::Kind::Lesson, l, i), text, v, false);
            for (const Voice& v : kHeldOut)
                add(sampleOf(BenchSample::Kind::Lesson, l, i), text, v, true);
            QStringList near = lesson.nearOf[static_cast<std::size_t>(i)];
            if (near.isEmpty())
                near = madeNearMisses(text, wordAt(addWords, i), wordAt(changeWords, i));
            // Each near miss by two voices of each set, turn about.
            for (const QString& miss : near) {
                for (int k = 0; k < 2; ++k, ++nearCount) {
                    add(sampleOf(BenchSample::Kind::NearMiss, l, i), miss,
                        kCalibration[nearCount % kCalibrationCount], false);
                    add(sampleOf(BenchSample::Kind::NearMiss, l, i), miss,
                        kHeldOut[nearCount % kHeldOutCount], true);
                }
            }
        }
    }
    for (const QJsonValue text : outside.value("english").toArray()) {
        for (int v = 0; v < kCalibrationCount; v += 2)
            add(sampleOf(BenchSample::Kind::Outside), text.toString(), kCalibration[v], false);
        for (int v = 0; v < kHeldOutCount; v += 2)
            add(sampleOf(BenchSample::Kind::Outside), text.toString(), kHeldOut[v], true);
    }
    for (const QJsonValue text : outside.value("chinese").toArray())
        for (int speed : {140, 175})
            add(sampleOf(BenchSample::Kind::Chinese), text.toString(),
                {Synth::Espeak, "cmn", speed}, false);
    return ok ? samples : std::vector<BenchSample>{};
}
