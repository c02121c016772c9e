#pragma once

#include "com/IUnknown.h"

class QWidget;

namespace platform::com {

// A library's class object: creates instances of its control. The control is
// a widget on `parent` (the host owns it, as Qt parents own their children).
class IClassFactory : public IUnknown {
public:
    virtual HResult createInstance(QWidget* parent, QWidget** control) = 0;
    // Keeps the library loaded while a host holds a lock.
    virtual HResult lockServer(bool lock) = 0;
};

} // namespace platform::com
