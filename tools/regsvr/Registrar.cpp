#include "Registrar.h"

#include "com/HResult.h"
#include "com/ServerEntryPoints.h"
#include "com/ServerHostCall.h"

#include <QLibrary>

namespace {

const char* kUsage = "Usage: regsvr32 [/u] [/s] dllname\n"
                     "/u - Unregister server\n"
                     "/s - Silent; display no message boxes";

} // namespace

Registrar::Outcome Registrar::run(const QStringList& arguments, bool* silent,
                                  platform::IRegistry& registry) {
    bool unregister = false;
    QString file;
    for (const QString& arg : arguments) {
        // Options are a slash or dash and one letter; paths here begin with
        // a slash too, so anything longer is the library.
        const bool isOption = arg.size() == 2 && (arg[0] == '/' || arg[0] == '-');
        const QChar letter = isOption ? arg[1].toLower() : QChar();
        if (letter == 'u')
            unregister = true;
        else if (letter == 's')
            *silent = true;
        else if (!isOption && file.isEmpty())
            file = arg;
        else
            return {1, QString("Unrecognized flag: %1\n%2").arg(arg, kUsage)};
    }
    if (file.isEmpty())
        return {1, "No DLL name specified.\n" + QString(kUsage)};
    return registerLibrary(file, unregister, registry);
}

Registrar::Outcome Registrar::registerLibrary(const QString& file, bool unregister,
                                              platform::IRegistry& registry) {
    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    QLibrary library(file);
    if (!library.load())
        return {3, QString("LoadLibrary(\"%1\") failed - %2").arg(file, library.errorString())};
    const auto function =
        reinterpret_cast<platform::com::DllRegisterServerFn>(library.resolve(entry));
    if (!function) {
        return {4, QString("%1 was loaded, but the %2 entry point was not found.\n\n"
                           "This file can not be registered.")
                       .arg(file, entry)};
    }
    platform::com::HResult hr = platform::com::setServerHost(library, {&registry, nullptr});
    if (hr == platform::com::CO_E_ERRORINDLL) {
        return {4, QString("%1 was loaded, but the DllSetHost entry point was not found.\n\n"
                           "This file can not be registered.")
                       .arg(file)};
    }
    if (platform::com::succeeded(hr))
        hr = function();
    if (!platform::com::succeeded(hr)) {
        return {5, QString("%1 in %2 failed.\nReturn code was: 0x%3")
                       .arg(entry, file)
                       .arg(static_cast<quint32>(hr), 8, 16, QChar('0'))};
    }
    return {0, QString("%1 in %2 succeeded.").arg(entry, file)};
}
