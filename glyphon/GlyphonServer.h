#pragma once

#include "com/ServerEntryPoints.h"
#include "com/ServerInfo.h"

// The library's identity as hosts and the registry know it.
namespace glyphon {
platform::com::ServerInfo serverInfo();
}

// The in-process server's entry points.
extern "C" {
Q_DECL_EXPORT platform::com::HResult DllRegisterServer();
Q_DECL_EXPORT platform::com::HResult DllUnregisterServer();
Q_DECL_EXPORT platform::com::HResult
DllGetClassObject(const platform::com::Guid* clsid, const platform::com::Guid* iid, void** object);
Q_DECL_EXPORT platform::com::HResult DllCanUnloadNow();
}
