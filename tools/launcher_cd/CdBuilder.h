#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

// Lays out the demo CD folder next to the launcher and the installer: the
// lesson settings "2003.ini", the sentence texts "e.ini"/"c.ini" (lessons 1
// to 72) and "e1.ini"/"c1.ini" (73 to 90) in code page 936, the recordings
// under "lst\", the launcher's background picture, the intro movie
// "games\zorvik.swf", and the program folder the installer copies.
class CdBuilder {
public:
    struct Sentence {
        QString dlgId;
        QString english;
        QString chinese;
        QString voice; // espeak-ng voice of the speaking role
    };
    struct Lesson {
        int number = 0; // position in the launcher's list, 1 to 90
        QString id;     // the recording folder below "lst\"
        QString name;
        QList<Sentence> sentences;
    };

    CdBuilder(QString programDir, QString cdDir) : m_programDir(programDir), m_cdDir(cdDir) {}

    // The demo lessons of the lesson source, numbered from 1 in their order.
    static QList<Lesson> demoLessons(const QJsonObject& source);
    static Lesson extraLesson(const QJsonObject& source);

    bool writeLessonFiles(const QList<Lesson>& lessons) const;
    // Copies the lesson's recordings from the program folder; false when it
    // has none or a copy fails.
    bool copyRecordings(const Lesson& lesson) const;
    // Records the lesson's sentences with espeak-ng, three takes each.
    bool recordLesson(const Lesson& lesson, const QString& espeak) const;
    bool writeBackground() const;
    bool writeIntroMovie() const;
    bool copyProgramFolder() const;

    static QByteArray toGbk(const QString& text);

private:
    bool writeIni(const QString& name, const QByteArray& text) const;

    QString m_programDir;
    QString m_cdDir;
};
