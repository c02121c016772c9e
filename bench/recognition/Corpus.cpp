#include "Corpus.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

struct Voice {
    const char* name;
    int speed;
};
// Men, women, British and American, slow and quick.
constexpr Voice kVoices[] = {{"en-us+m3", 135}, {"en-us+f3", 175}, {"en-gb+m4", 160},
                             {"en-us+f2", 145}, {"en-gb+f3", 185}, {"en-us+m7", 165}};

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

QString nearMiss(const QString& sentence, const QString& word) {
    QStringList words = sentence.split(' ', Qt::SkipEmptyParts);
    words.insert(words.size() / 2, word);
    return words.join(' ');
}

} // namespace

std::vector<BenchLesson> Corpus::readLessons(const QString& path) {
    std::vector<BenchLesson> lessons;
    for (const QJsonValue row : readJson(path).object().value("rows").toArray()) {
        const QJsonArray sentences = row.toObject().value("sentences").toArray();
        if (sentences.isEmpty())
            continue;
        BenchLesson lesson{row.toObject().value("UnitID").toString(), {}};
        for (const QJsonValue s : sentences)
            lesson.phrases << s.toObject().value("EDlgSB").toString().trimmed();
        lessons.push_back(lesson);
    }
    return lessons;
}

QString Corpus::speak(const QString& text, const QString& voice, int speed, bool noisy) {
    const QByteArray key = (voice + '|' + QString::number(speed) + '|' + text).toUtf8();
    const QString base =
        m_cache + '/' + QCryptographicHash::hash(key, QCryptographicHash::Md5).toHex();
    const QString clean = base + ".wav";
    if (!QFile::exists(clean) &&
        QProcess::execute("espeak-ng",
                          {"-v", voice, "-s", QString::number(speed), "-w", clean, text}) != 0)
        return {};
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
    auto add = [&](BenchSample s, const QString& text, const Voice& v) {
        for (bool noisy : {false, true}) {
            s.noisy = noisy;
            s.wave = speak(text, v.name, v.speed, noisy);
            if (s.wave.isEmpty())
                return false;
            samples.push_back(s);
        }
        return true;
    };
    const QJsonArray missWords = outside.value("nearMissWords").toArray();
    for (int l = 0; l < static_cast<int>(lessons.size()); ++l) {
        for (int i = 0; i < lessons[l].phrases.size(); ++i) {
            for (const Voice& v : kVoices)
                if (!add(sampleOf(BenchSample::Kind::Lesson, l, i), lessons[l].phrases[i], v))
                    return {};
            const QString word =
                missWords.at(i % std::max<qsizetype>(missWords.size(), 1)).toString();
            if (!word.isEmpty())
                add(sampleOf(BenchSample::Kind::NearMiss, l), nearMiss(lessons[l].phrases[i], word),
                    kVoices[i % 6]);
        }
    }
    for (const QJsonValue text : outside.value("english").toArray())
        for (int v = 0; v < 6; v += 2)
            add(sampleOf(BenchSample::Kind::Outside), text.toString(), kVoices[v]);
    for (const QJsonValue text : outside.value("chinese").toArray())
        for (int speed : {140, 175})
            add(sampleOf(BenchSample::Kind::Chinese), text.toString(), {"cmn", speed});
    return samples;
}
