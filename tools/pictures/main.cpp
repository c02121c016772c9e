// make_button_pictures <folder>: draws the main program's button pictures
// as PNG files into <folder> and writes "pictures.qrc" there, which lists
// them under the prefix "/verbaro/pictures".
#include "ButtonArt.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_button_pictures <folder>\n");
        return 1;
    }
    QString family;
    if (!ButtonArt::fontAvailable(&family)) {
        std::fprintf(stderr,
                     "The font AR PL UMing is missing (package fonts-arphic-uming); "
                     "found only \"%s\".\n",
                     qPrintable(family));
        return 1;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(folder.path());
    QString qrc = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n"
                  "  <qresource prefix=\"/verbaro/pictures\">\n";
    for (const ButtonArt::Picture& picture : ButtonArt::catalogue()) {
        const QString file = picture.name + ".png";
        if (!ButtonArt::draw(picture).save(folder.filePath(file), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(folder.filePath(file)));
            return 1;
        }
        qrc += QString("    <file>%1</file>\n").arg(file);
    }
    qrc += "  </qresource>\n</RCC>\n";
    QFile out(folder.filePath("pictures.qrc"));
    if (!out.open(QIODevice::WriteOnly) || out.write(qrc.toUtf8()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out.fileName()));
        return 1;
    }
    return 0;
}
