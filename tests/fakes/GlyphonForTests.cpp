#include "GlyphonForTests.h"

#include "com/HResult.h"
#include "com/ServerHostCall.h"
#include "registry/FileRegistry.h"

#include <QLibrary>
#include <QTemporaryDir>
#include <memory>

namespace {

using platform::RegRoot;

const platform::FileRegistry* registeredOnce() {
    static std::unique_ptr<platform::FileRegistry> registry;
    static bool tried = false;
    if (tried)
        return registry.get();
    tried = true;
    // The library registers itself per user: a per-user folder of its own for
    // that moment, and the test's own setting back afterwards.
    static QTemporaryDir home;
    const bool hadHome = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    const QByteArray oldHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    QLibrary glyphon(QStringLiteral(GLYPHON_PATH));
    using Entry = platform::com::HResult (*)();
    const auto registerServer =
        glyphon.load() ? reinterpret_cast<Entry>(glyphon.resolve("DllRegisterServer")) : nullptr;
    bool registered = false;
    if (registerServer) {
        platform::FileRegistry writer(platform::RegAccess::ReadWrite);
        registered =
            platform::com::setServerHost(glyphon, {&writer, nullptr}) == platform::com::S_OK &&
            registerServer() == platform::com::S_OK;
    }
    if (registered)
        registry = std::make_unique<platform::FileRegistry>(platform::RegAccess::ReadOnly);
    if (hadHome)
        qputenv("XDG_DATA_HOME", oldHome);
    else
        qunsetenv("XDG_DATA_HOME");
    return registry.get();
}

} // namespace

bool AddGlyphonTo(platform::IRegistry& writer) {
    const platform::FileRegistry* source = registeredOnce();
    if (!source)
        return false;
    const QString progIdKey = QStringLiteral("Glyphon.ImageLabel\\CLSID");
    const auto clsid = source->value(RegRoot::ClassesRoot, progIdKey, {});
    if (!clsid)
        return false;
    const QString serverKey = "CLSID\\" + clsid->text + "\\InprocServer32";
    const auto path = source->value(RegRoot::ClassesRoot, serverKey, {});
    return path && writer.setValue(RegRoot::ClassesRoot, progIdKey, {}, *clsid) &&
           writer.setValue(RegRoot::ClassesRoot, serverKey, {}, *path);
}
