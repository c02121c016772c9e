#pragma once

#include "com/Guid.h"
#include "com/HResult.h"

namespace platform::com {

// The root of the component interfaces: reference counting and asking for
// another interface by its id. An object deletes itself on its last release.
class IUnknown {
public:
    virtual HResult queryInterface(const QUuid& iid, void** object) = 0;
    virtual unsigned long addRef() = 0;
    virtual unsigned long release() = 0;

protected:
    virtual ~IUnknown() = default;
};

} // namespace platform::com
