#include "core/Start.h"

#include "core/FrmMain.h"
#include "core/Program.h"
#include "core/StartUpGuard.h"
#include "core/StartUpSignals.h"
#include "process/IProgramEnd.h"

#include <QCoreApplication>

#include <exception>

void FindAppPath(GlobalVars& vars, const QString& programFolder) {
    vars.AppPath = programFolder;
    if (!vars.AppPath.endsWith('/'))
        vars.AppPath += '/';
}

void StartUp(Program& program, const QString& programFolder) {
    program.vars.ScoreSound = 1;
    FindAppPath(program.vars, programFolder);
    program.vars.MicLevel = 0;
    program.forms.get<FrmMain>().Show();
}

int RunProgram(Program& program, const QString& programFolder) {
    platform::IProgramEnd& end = *program.platform.programEnd;
    StartUpGuard guard(program);
    // A signal is handled from the event loop: the screen comes back, then
    // the program ends as killed by that signal would.
    const StartUpSignals termination([&guard, &end](int signal) {
        guard.restore();
        end.endProgram(128 + signal);
    });
    try {
        StartUp(program, programFolder);
        return QCoreApplication::exec();
    } catch (const std::exception& e) {
        end.reportRuntimeError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        end.reportRuntimeError(QStringLiteral("unknown error"));
    }
    return 1;
}
