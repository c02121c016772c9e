#include "com/ClassFactory.h"

#include "com/ServerModule.h"

#include <QWidget>

namespace platform::com {

ClassFactory::ClassFactory(ServerModule& module) : m_module(module) {
    m_module.objectAdded();
}

ClassFactory::~ClassFactory() {
    m_module.objectRemoved();
}

HResult ClassFactory::queryInterface(const QUuid& iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory)
        return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(this);
    addRef();
    return S_OK;
}

unsigned long ClassFactory::release() {
    const unsigned long left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

HResult ClassFactory::createInstance(QWidget* parent, QWidget** control) {
    if (!control)
        return E_POINTER;
    *control = nullptr;
    if (!m_module.hasScreen())
        return CO_E_NOTINITIALIZED;
    *control = m_module.create(parent);
    return *control ? S_OK : E_FAIL;
}

HResult ClassFactory::lockServer(bool lock) {
    m_module.lock(lock);
    return S_OK;
}

} // namespace platform::com
