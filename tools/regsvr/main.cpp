#include "Registrar.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    bool silent = false;
    const Registrar::Outcome outcome = Registrar::run(app.arguments().mid(1), &silent);
    if (!silent) {
        std::fprintf(outcome.exitCode == 0 ? stdout : stderr, "%s\n",
                     outcome.message.toLocal8Bit().constData());
    }
    return outcome.exitCode;
}
