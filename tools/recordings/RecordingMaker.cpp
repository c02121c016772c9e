#include "RecordingMaker.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QTextStream>
#include <utility>

namespace {

// Soft backgrounds per scene: sox synth arguments (noise colour, level).
constexpr std::pair<const char*, const char*> kScenes[] = {
    {"office", "brownnoise vol 0.04"}, {"street", "pinknoise vol 0.05"},
    {"cafe", "pinknoise vol 0.035"},   {"restaurant", "pinknoise vol 0.035"},
    {"shop", "pinknoise vol 0.03"},    {"station", "pinknoise vol 0.06"},
    {"airport", "pinknoise vol 0.05"}, {"park", "pinknoise vol 0.025"},
    {"home", "brownnoise vol 0.025"},  {"school", "brownnoise vol 0.035"},
    {"hotel", "brownnoise vol 0.03"},  {"hospital", "brownnoise vol 0.03"},
};
constexpr const char* kDefaultScene = "brownnoise vol 0.03";

QStringList sceneNoise(const QString& scene) {
    for (const auto& [name, noise] : kScenes)
        if (scene.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(noise).split(' ');
    return QString::fromLatin1(kDefaultScene).split(' ');
}

} // namespace

bool RecordingMaker::run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
        process.exitCode() == 0)
        return true;
    QTextStream(stderr) << program << " failed: " << args.join(' ') << "\n"
                        << process.readAllStandardError();
    return false;
}

bool RecordingMaker::speak(const QString& text, const QString& voice, int speed,
                           const QString& path) const {
    return run("espeak-ng", {"-v", voice, "-s", QString::number(speed), "-w", path, text});
}

bool RecordingMaker::addScene(const QString& speech, const QString& scene,
                              const QString& path) const {
    // The voice padded by half a second each side, over the scene's noise.
    const QString padded = path + ".speech.wav";
    const QString noise = path + ".noise.wav";
    const bool ok = run("sox", {speech, padded, "pad", "0.5", "0.5"}) &&
                    run("sox", QStringList{padded, noise, "synth"} + sceneNoise(scene)) &&
                    run("sox", {"-m", "-v", "1.0", padded, "-v", "1.0", noise, path});
    QFile::remove(padded);
    QFile::remove(noise);
    return ok;
}

bool RecordingMaker::makeLesson(const QJsonObject& lesson) {
    const QJsonArray sentences = lesson.value("sentences").toArray();
    if (sentences.isEmpty())
        return true;
    const QString dir = m_lstDir + '/' + lesson.value("UnitID").toString();
    QDir().mkpath(dir);
    for (const QJsonValue value : sentences) {
        const QJsonObject s = value.toObject();
        QString voice = "en-us";
        int speed = 150;
        for (const QJsonValue role : lesson.value("roles").toArray()) {
            if (role.toObject().value("name").toString() == s.value("DlgObj").toString()) {
                voice = role.toObject().value("voice").toString(voice);
                speed = role.toObject().value("speed").toInt(speed);
            }
        }
        QString text = s.value("EDlg").toString();
        if (text.trimmed().isEmpty())
            text = s.value("EDlgSB").toString();
        const QString base = dir + '/' + s.value("DlgID").toString().left(11);
        // Fast is the role's own pace, a little quicker; slow is three quarters of it.
        if (!speak(text, voice, speed + 15, base + "1.wav") ||
            !speak(text, voice, speed * 3 / 4, base + "2.wav") ||
            !speak(text, voice, speed, base + "0.speech.wav") ||
            !addScene(base + "0.speech.wav", lesson.value("scene").toString(), base + "0.wav"))
            return false;
        QFile::remove(base + "0.speech.wav");
    }
    return true;
}
