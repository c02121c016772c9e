#pragma once

#include "com/ServerInfo.h"
#include "com/exports/ServerExports.h"

// The library's identity as hosts and the registry know it.
namespace glyphon {
platform::com::ServerInfo serverInfo();
}
