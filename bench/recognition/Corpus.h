#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// The benchmark's speech: lessons read from the demo lesson source, spoken by
// espeak-ng in several voices and speeds, clean and with pink noise (sox),
// plus sentences outside every lesson (English, Chinese, near misses).
struct BenchLesson {
    QString id;
    QStringList phrases; // EDlgSB as stored
};

struct BenchSample {
    enum class Kind { Lesson, Outside, Chinese, NearMiss };
    Kind kind = Kind::Lesson;
    int lesson = -1;   // for Lesson and NearMiss
    int sentence = -1; // for Lesson
    bool noisy = false;
    QString wave;
};

class Corpus {
public:
    Corpus(const QString& cacheDir) : m_cache(cacheDir) {}

    static std::vector<BenchLesson> readLessons(const QString& path);
    // Makes (or reuses) every wave file; empty when espeak-ng or sox fail.
    std::vector<BenchSample> build(const std::vector<BenchLesson>& lessons,
                                   const QString& outsidePath);

private:
    QString speak(const QString& text, const QString& voice, int speed, bool noisy);

    QString m_cache;
};
