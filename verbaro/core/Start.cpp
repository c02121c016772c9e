#include "core/Start.h"

#include "core/FrmMain.h"
#include "core/Program.h"

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
