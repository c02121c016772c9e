#pragma once

#include "com/Guid.h"
#include "com/HResult.h"
#include "com/ServerEntryPoints.h"
#include "com/ServerInfo.h"

#include <functional>
#include <memory>

class QWidget;

namespace platform::com {

// The state and entry-point logic of one control library (an in-process
// server): its class object, the count of live objects and locks that keeps
// it loaded, and its registration in the per-user registry. Each library
// holds one and forwards its exported Dll* functions to it.
class ServerModule {
public:
    using CreateFn =
        std::function<QWidget*(QWidget* parent, std::shared_ptr<const IScreenMetrics> screen)>;

    ServerModule(ServerInfo info, CreateFn create);

    // The host's registry and screen metrics (DllSetHost), replacing those of
    // an earlier host call.
    void setHost(const ServerHost& host);
    bool hasScreen() const { return m_screen != nullptr; }

    // `addressInLibrary` is any function of the library: it finds the
    // library's file, whose path the registration records.
    HResult registerServer(const void* addressInLibrary) const;
    HResult unregisterServer() const;
    HResult getClassObject(const Guid* clsid, const Guid* iid, void** object);
    HResult canUnloadNow() const { return m_objects == 0 && m_locks == 0 ? S_OK : S_FALSE; }

    const ServerInfo& info() const { return m_info; }

    // Bookkeeping of the class objects and controls.
    QWidget* create(QWidget* parent);
    void objectAdded() { ++m_objects; }
    void objectRemoved() { --m_objects; }
    void lock(bool on) { m_locks += on ? 1 : -1; }

    static QString libraryPath(const void* addressInLibrary);

private:
    ServerInfo m_info;
    CreateFn m_create;
    IRegistry* m_registry = nullptr;
    // Borrowed from the host; shared with the controls made so far.
    std::shared_ptr<const IScreenMetrics> m_screen;
    int m_objects = 0;
    int m_locks = 0;
};

} // namespace platform::com
