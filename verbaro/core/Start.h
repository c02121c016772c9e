#pragma once

#include <QString>

class Program;
struct GlobalVars;

// The program's entry point: defaults, program folder, then the splash window
// whose load handler and first timer tick do the rest.
void StartUp(Program& program, const QString& programFolder);

// AppPath := the program's folder, ending in exactly one "/".
void FindAppPath(GlobalVars& vars, const QString& programFolder);
