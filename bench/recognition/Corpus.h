#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// The benchmark's speech: lesson sentences spoken by several synthetic
// voices, clean and with pink noise (sox), plus near misses of each sentence
// (a word added, dropped or changed) and sentences outside every lesson
// (English, Chinese). The voices come in two sets: the calibration set the
// recogniser's confidence was tuned on, and a held-out set (other espeak-ng
// variants and speeds, and flite, a second synthesiser) that it never saw.
struct BenchLesson {
    QString id;
    QStringList phrases;             // EDlgSB as stored
    std::vector<QStringList> nearOf; // per sentence: its near misses, when given
};

struct BenchSample {
    enum class Kind { Lesson, Outside, Chinese, NearMiss };
    Kind kind = Kind::Lesson;
    int lesson = -1;   // for Lesson and NearMiss
    int sentence = -1; // for Lesson; for NearMiss the sentence it was made from
    bool noisy = false;
    bool heldOut = false;
    QString voice;
    QString text;
    QString wave;
};

class Corpus {
public:
    struct Voice {
        enum class Synth { Espeak, Flite };
        Synth synth;
        const char* name;
        int speed; // words per minute (espeak-ng only)
    };

    Corpus(const QString& cacheDir) : m_cache(cacheDir) {}

    static std::vector<BenchLesson> readLessons(const QString& path);
    // Makes (or reuses) every wave file; empty when a synthesiser or sox fails.
    std::vector<BenchSample> build(const std::vector<BenchLesson>& lessons,
                                   const QString& outsidePath);

private:
    QString speak(const QString& text, const Voice& voice, bool noisy);

    QString m_cache;
};
