#include "com/ControlCreator.h"

#include "com/Guid.h"
#include "com/IClassFactory.h"
#include "com/ServerEntryPoints.h"
#include "com/ServerHostCall.h"

#include <QLibrary>

namespace platform::com {

HResult ControlCreator::clsidFromProgId(const QString& progId, QUuid& clsid) const {
    const auto v = m_registry.value(RegRoot::ClassesRoot, progId + "\\CLSID", {});
    if (progId.isEmpty() || !v || v->type != RegType::String)
        return CO_E_CLASSSTRING;
    clsid = QUuid::fromString(v->text);
    return clsid.isNull() ? CO_E_CLASSSTRING : S_OK;
}

HResult ControlCreator::create(const QString& progId, QWidget* parent, QWidget** control) const {
    if (!control)
        return E_POINTER;
    *control = nullptr;
    QUuid clsid;
    if (const HResult hr = clsidFromProgId(progId, clsid); !succeeded(hr))
        return hr;
    const auto path = m_registry.value(RegRoot::ClassesRoot,
                                       "CLSID\\" + guidString(clsid) + "\\InprocServer32", {});
    if (!path || path->text.isEmpty())
        return REGDB_E_CLASSNOTREG;

    QLibrary library(path->text);
    if (!library.load()) {
        m_loadError = library.errorString();
        return CO_E_DLLNOTFOUND;
    }
    const auto getClassObject =
        reinterpret_cast<DllGetClassObjectFn>(library.resolve("DllGetClassObject"));
    if (!getClassObject)
        return CO_E_ERRORINDLL;
    // A host that only makes controls lends the library no registry.
    if (const HResult hr = setServerHost(library, {nullptr, &m_screen}); !succeeded(hr))
        return hr;

    const Guid cls = Guid::fromUuid(clsid);
    const Guid iid = Guid::fromUuid(IID_IClassFactory);
    void* object = nullptr;
    if (const HResult hr = getClassObject(&cls, &iid, &object); !succeeded(hr))
        return hr;
    auto* factory = static_cast<IClassFactory*>(object);
    const HResult hr = factory->createInstance(parent, control);
    factory->release();
    return hr;
}

} // namespace platform::com
