#pragma once

#include "com/Guid.h"
#include "com/HResult.h"

namespace platform::com {

// The four entry points every control library exports with C linkage under
// these names, as in-process servers do.
using DllRegisterServerFn = HResult (*)();
using DllUnregisterServerFn = HResult (*)();
using DllGetClassObjectFn = HResult (*)(const Guid* clsid, const Guid* iid, void** object);
using DllCanUnloadNowFn = HResult (*)();

} // namespace platform::com
