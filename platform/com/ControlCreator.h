#pragma once

#include "com/HResult.h"
#include "registry/IRegistry.h"
#include "screen/IScreenMetrics.h"

#include <QUuid>

class QWidget;

namespace platform::com {

// Creates a control by its ProgID as a host does: the ProgID's CLSID from the
// registry, the library registered for that class (InprocServer32), the
// library loaded, its class object asked for an instance. Libraries stay
// loaded for the rest of the process, since their controls may live on.
class ControlCreator {
public:
    ControlCreator(const IRegistry& registry, const IScreenMetrics& screen)
        : m_registry(registry), m_screen(screen) {}

    // S_OK with the new control on `parent`; otherwise CO_E_CLASSSTRING
    // (unknown ProgID), REGDB_E_CLASSNOTREG (class or library not registered),
    // CO_E_DLLNOTFOUND (library does not load), CO_E_ERRORINDLL (no entry
    // point) or the library's own failure.
    HResult create(const QString& progId, QWidget* parent, QWidget** control) const;

    HResult clsidFromProgId(const QString& progId, QUuid& clsid) const;

    // Why the last library failed to load, for the host's report.
    QString lastLoadError() const { return m_loadError; }

private:
    const IRegistry& m_registry;
    const IScreenMetrics& m_screen;
    mutable QString m_loadError;
};

} // namespace platform::com
