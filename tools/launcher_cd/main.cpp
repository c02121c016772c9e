// make_launcher_cd <lessons.json> <extra lesson.json> <program folder> <cd folder> [espeak-ng]
#include "CdBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>

#include <cstdio>

namespace {

QJsonObject readJson(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

int fail(const char* what) {
    std::fprintf(stderr, "make_launcher_cd: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    // Painting text needs a GUI application; no screen is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5)
        return fail(
            "usage: make_launcher_cd <lessons.json> <extra.json> <program> <cd> [espeak-ng]");
    CdBuilder cd(args[3], args[4]);
    QDir().mkpath(args[4]);
    QList<CdBuilder::Lesson> lessons = CdBuilder::demoLessons(readJson(args[1]));
    const CdBuilder::Lesson extra = CdBuilder::extraLesson(readJson(args[2]));
    lessons.append(extra);
    if (!cd.writeLessonFiles(lessons))
        return fail("cannot write the lesson files");
    // The demo lessons bring their recordings from the program folder; a
    // lesson without any there (and the extra lesson) is recorded here.
    const QString espeak = args.value(5);
    for (const CdBuilder::Lesson& lesson : lessons) {
        const bool copied = lesson.number != extra.number && cd.copyRecordings(lesson);
        if (!copied && !espeak.isEmpty() && !cd.recordLesson(lesson, espeak))
            return fail("cannot record a lesson");
    }
    if (!cd.writeBackground())
        return fail("cannot write the background picture");
    if (!cd.writeIntroMovie())
        return fail("cannot write the intro movie");
    if (!cd.copyProgramFolder())
        return fail("cannot copy the program folder");
    return 0;
}
