// make_demo_db <lessons.json> <database file>: writes the demo lesson database.
#include "DemoDbBuilder.h"

#include <QCoreApplication>
#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: make_demo_db <lessons.json> <database file>\n");
        return 2;
    }
    try {
        DemoDbBuilder(args[1]).write(args[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_demo_db: %s\n", e.what());
        return 1;
    }
    return 0;
}
