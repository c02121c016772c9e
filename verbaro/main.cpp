#include "RealPlatform.h"
#include "core/Program.h"
#include "core/Start.h"
#include "process/GuardedApplication.h"
#include "registry/FileRegistry.h"

int main(int argc, char** argv) {
    platform::GuardedApplication app(argc, argv);
    platform::RealPlatform real;
    app.setProgramEnd(real.services().programEnd);
    Program program(real.services());
    program.userFolder = platform::FileRegistry::defaultFolder();
    return RunProgram(program, QCoreApplication::applicationDirPath());
}
