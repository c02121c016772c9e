// usersetup [program folder]: registers an installed program folder for the
// user who runs it (control libraries, the launcher's entries), unless that
// is done already. Without a folder, the folder this program lies in. The
// starters run it before the trainer or the launcher; problems go to the
// standard error output and give exit status 1.
#include "UserSetup.h"

#include "registry/FileRegistry.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString folder =
        args.size() > 1 ? QDir(args[1]).absolutePath() : QCoreApplication::applicationDirPath();
    platform::FileRegistry registry(platform::RegAccess::ReadWrite);
    const QStringList problems = UserSetup(folder, registry).run();
    for (const QString& problem : problems)
        std::fprintf(stderr, "usersetup: %s\n", problem.toLocal8Bit().constData());
    return problems.isEmpty() ? 0 : 1;
}
