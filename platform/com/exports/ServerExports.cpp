#include "com/exports/ServerExports.h"

#include "com/ServerModule.h"

using platform::com::Guid;
using platform::com::HResult;
using platform::com::ServerHost;
using platform::com::serverModule;

HResult DllSetHost(const ServerHost* host) {
    if (!host)
        return platform::com::E_POINTER;
    serverModule().setHost(*host);
    return platform::com::S_OK;
}

// serverModule() is defined in the library itself, so its address finds the
// library's file for the registration.
HResult DllRegisterServer() {
    return serverModule().registerServer(reinterpret_cast<const void*>(&serverModule));
}

HResult DllUnregisterServer() {
    return serverModule().unregisterServer();
}

HResult DllGetClassObject(const Guid* clsid, const Guid* iid, void** object) {
    return serverModule().getClassObject(clsid, iid, object);
}

HResult DllCanUnloadNow() {
    return serverModule().canUnloadNow();
}
