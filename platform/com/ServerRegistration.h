#pragma once

#include "com/HResult.h"
#include "com/ServerInfo.h"
#include "registry/IRegistry.h"

namespace platform::com {

// Writes and removes a control library's entries below HKEY_CLASSES_ROOT:
//   CLSID\{clsid}             class name, InprocServer32 (the library's path),
//                             ProgID, TypeLib, Version, Control, ToolboxBitmap32
//   <ProgID>                  with CLSID
//   TypeLib\{libid}\<ver>     name, FLAGS, HELPDIR, <lcid hex>\win64 (the path)
//   Interface\{iid}           name, ProxyStubClsid32, TypeLib with Version
// Unregistering removes exactly these: a ProgID or interface key now naming
// another class or library, and other versions of the type library, stay.
class ServerRegistration {
public:
    explicit ServerRegistration(IRegistry& registry) : m_registry(registry) {}

    // S_OK, or SELFREG_E_CLASS / SELFREG_E_TYPELIB when the registry refused.
    HResult registerServer(const ServerInfo& info, const QString& libraryPath);
    HResult unregisterServer(const ServerInfo& info);

private:
    bool removeKey(const QString& key);
    // True when the key is missing or its value `name` equals `expected`.
    bool names(const QString& key, const QString& name, const QString& expected) const;

    IRegistry& m_registry;
};

} // namespace platform::com
