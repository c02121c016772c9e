#pragma once

#include "com/Guid.h"
#include "com/HResult.h"

namespace platform {
class IRegistry;
class IScreenMetrics;
} // namespace platform

namespace platform::com {

// The platform services a host hands to a control library it loads, before it
// calls any other entry point: the registry the library registers itself in
// (the registration tools give a writable one; a host that only makes
// controls gives none) and the screen metrics its controls lay themselves out
// with. Both stay the host's and outlive the library's use of them.
struct ServerHost {
    IRegistry* registry = nullptr;
    const IScreenMetrics* screen = nullptr;
};

// The four entry points every control library exports with C linkage under
// these names, as in-process servers do, and DllSetHost, which takes the
// host's services (a library without them answers CO_E_NOTINITIALIZED).
using DllSetHostFn = HResult (*)(const ServerHost* host);
using DllRegisterServerFn = HResult (*)();
using DllUnregisterServerFn = HResult (*)();
using DllGetClassObjectFn = HResult (*)(const Guid* clsid, const Guid* iid, void** object);
using DllCanUnloadNowFn = HResult (*)();

} // namespace platform::com
