// verbaro_make_recordings <lessons.json> <lst folder>
#include "RecordingMaker.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        QTextStream(stderr) << "usage: verbaro_make_recordings <lessons.json> <lst folder>\n";
        return 2;
    }
    QFile file(args[1]);
    if (!file.open(QIODevice::ReadOnly)) {
        QTextStream(stderr) << "cannot read " << args[1] << "\n";
        return 1;
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (doc.isNull()) {
        QTextStream(stderr) << args[1] << ": " << error.errorString() << "\n";
        return 1;
    }
    RecordingMaker maker(args[2]);
    for (const QJsonValue row : doc.object().value("rows").toArray())
        if (!maker.makeLesson(row.toObject()))
            return 1;
    return 0;
}
