#include "com/ServerHostCall.h"

#include <QLibrary>

namespace platform::com {

HResult setServerHost(QLibrary& library, const ServerHost& host) {
    const auto setHost = reinterpret_cast<DllSetHostFn>(library.resolve("DllSetHost"));
    return setHost ? setHost(&host) : CO_E_ERRORINDLL;
}

} // namespace platform::com
