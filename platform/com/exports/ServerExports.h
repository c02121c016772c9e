#pragma once

#include "com/ServerEntryPoints.h"

namespace platform::com {

class ServerModule;

// The one module state of the control library this is built into; each
// library defines it (its identity and the control it makes).
ServerModule& serverModule();

} // namespace platform::com

// The in-process server's entry points, the same in every control library:
// ServerExports.cpp is compiled into each one (verbaro_control_library) and
// forwards them to serverModule().
extern "C" {
Q_DECL_EXPORT platform::com::HResult DllSetHost(const platform::com::ServerHost* host);
Q_DECL_EXPORT platform::com::HResult DllRegisterServer();
Q_DECL_EXPORT platform::com::HResult DllUnregisterServer();
Q_DECL_EXPORT platform::com::HResult
DllGetClassObject(const platform::com::Guid* clsid, const platform::com::Guid* iid, void** object);
Q_DECL_EXPORT platform::com::HResult DllCanUnloadNow();
}
