#include "core/Program.h"

#include "core/FrmMain.h"
#include "exercise/frmExer.h"
#include "windows/Form1.h"
#include "windows/FrmBox.h"
#include "windows/FrmSet.h"
#include "windows/frmAbout.h"
#include "windows/frmUnit.h"

static void loadResources() {
    // The pictures are compiled into a static library, whose resources must be
    // registered by hand.
    Q_INIT_RESOURCE(verbaro);
}

Program::Program(platform::Platform& p) : platform(p), MyDataEm(p.paths), forms(*this) {
    loadResources();
}

Program::~Program() = default;
