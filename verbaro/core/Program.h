#pragma once

#include "Platform.h"
#include "core/FormSet.h"
#include "core/GlobalVars.h"
#include "core/MyDataEm.h"

class FrmMain;
class frmUnit;
class FrmBox;
class frmAbout;
class frmExer;
class Form1;
class FrmSet;

// Everything that lives once for the whole run of the main program: the
// platform services, the program-wide variables, the data environment and
// the windows.
class Program {
public:
    explicit Program(platform::Platform& platform);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    platform::Platform& platform;
    // The per-user Verbaro folder, where each user's copy of a read-only
    // lesson database lives (see DataFolder); empty for none.
    QString userFolder;
    GlobalVars vars;
    ::MyDataEm MyDataEm;
    FormSet<Program, FrmMain, frmUnit, frmExer, FrmBox, frmAbout, Form1, FrmSet> forms;
};
