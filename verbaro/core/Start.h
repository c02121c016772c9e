#pragma once

#include <QString>

class Program;
struct GlobalVars;

// The program's entry point: defaults, program folder, then the splash window
// whose load handler and first timer tick do the rest.
void StartUp(Program& program, const QString& programFolder);

// AppPath := the program's folder, ending in exactly one "/".
void FindAppPath(GlobalVars& vars, const QString& programFolder);

// The whole run: StartUp, then the event loop until the program ends; returns
// the exit status. However the run ends (an exit button, a start-up failure,
// the error report, an error no handler trapped, or SIGTERM, SIGINT or
// SIGHUP), the screen is back in its start-up mode when this returns.
int RunProgram(Program& program, const QString& programFolder);
