#pragma once

#include <QString>
#include <QStringList>

namespace platform {
class IRegistry;
}

// Runs one registration as the platform's tool does: loads the library,
// hands it the registry to register in, calls its DllRegisterServer (or
// DllUnregisterServer) and reports in the tool's words. The exit codes are the tool's: 0 done, 1
// bad arguments, 3 the library did not load, 4 no entry point, 5 the entry point failed.
class Registrar {
public:
    struct Outcome {
        int exitCode = 0;
        QString message;
    };

    // Arguments without the program name: [/u] [/s] <file> (also -u, -s).
    static Outcome run(const QStringList& arguments, bool* silent, platform::IRegistry& registry);
    static Outcome registerLibrary(const QString& file, bool unregister,
                                   platform::IRegistry& registry);
};
