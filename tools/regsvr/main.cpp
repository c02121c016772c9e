#include "Registrar.h"
#include "registry/FileRegistry.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    bool silent = false;
    // Control libraries register themselves in the per-user registry.
    platform::FileRegistry registry(platform::RegAccess::ReadWrite);
    const Registrar::Outcome outcome = Registrar::run(app.arguments().mid(1), &silent, registry);
    if (!silent) {
        std::fprintf(outcome.exitCode == 0 ? stdout : stderr, "%s\n",
                     outcome.message.toLocal8Bit().constData());
    }
    return outcome.exitCode;
}
