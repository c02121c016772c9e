#include "com/ServerModule.h"

#include "com/ClassFactory.h"
#include "com/ServerRegistration.h"

#include <QFileInfo>
#include <QWidget>

#include <dlfcn.h>

namespace platform::com {

ServerModule::ServerModule(ServerInfo info, CreateFn create)
    : m_info(std::move(info)), m_create(std::move(create)) {}

void ServerModule::setHost(const ServerHost& host) {
    m_registry = host.registry;
    // The host owns its screen metrics; the controls only borrow them.
    m_screen = host.screen
                   ? std::shared_ptr<const IScreenMetrics>(std::shared_ptr<void>(), host.screen)
                   : nullptr;
}

QString ServerModule::libraryPath(const void* addressInLibrary) {
    Dl_info where{};
    if (dladdr(addressInLibrary, &where) == 0 || !where.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(where.dli_fname)).canonicalFilePath();
}

HResult ServerModule::registerServer(const void* addressInLibrary) const {
    const QString path = libraryPath(addressInLibrary);
    if (path.isEmpty())
        return SELFREG_E_CLASS;
    if (!m_registry)
        return CO_E_NOTINITIALIZED;
    return ServerRegistration(*m_registry).registerServer(m_info, path);
}

HResult ServerModule::unregisterServer() const {
    if (!m_registry)
        return CO_E_NOTINITIALIZED;
    return ServerRegistration(*m_registry).unregisterServer(m_info);
}

HResult ServerModule::getClassObject(const Guid* clsid, const Guid* iid, void** object) {
    if (!clsid || !iid || !object)
        return E_POINTER;
    *object = nullptr;
    if (clsid->toUuid() != m_info.clsid)
        return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new ClassFactory(*this);
    factory->addRef();
    const HResult hr = factory->queryInterface(iid->toUuid(), object);
    factory->release();
    return hr;
}

QWidget* ServerModule::create(QWidget* parent) {
    if (!m_screen)
        return nullptr;
    QWidget* control = m_create(parent, m_screen);
    if (!control)
        return nullptr;
    objectAdded();
    QObject::connect(control, &QObject::destroyed, [this] { objectRemoved(); });
    return control;
}

} // namespace platform::com
