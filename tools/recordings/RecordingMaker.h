#pragma once

#include <QJsonObject>
#include <QString>

// Speaks every sentence of the demo lessons with its role's espeak-ng voice
// and writes the three recordings the programs play. Existing files are
// made again, so a changed sentence never keeps an old recording.
class RecordingMaker {
public:
    explicit RecordingMaker(const QString& lstDir) : m_lstDir(lstDir) {}

    // Returns false (with a message on stderr) when a tool fails.
    bool makeLesson(const QJsonObject& lesson);

private:
    bool speak(const QString& text, const QString& voice, int speed, const QString& path) const;
    bool addScene(const QString& speech, const QString& scene, const QString& path) const;
    static bool run(const QString& program, const QStringList& args);

    QString m_lstDir;
};
