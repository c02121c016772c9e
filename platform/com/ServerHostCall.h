#pragma once

#include "com/ServerEntryPoints.h"

class QLibrary;

namespace platform::com {

// Hands a loaded control library its host's services through its DllSetHost
// entry point; every host does so before it calls any other entry point.
// CO_E_ERRORINDLL when the library has no such entry point.
HResult setServerHost(QLibrary& library, const ServerHost& host);

} // namespace platform::com
