#pragma once

#include "com/IClassFactory.h"

namespace platform::com {

class ServerModule;

// The class object of a library's one control class.
class ClassFactory : public IClassFactory {
public:
    explicit ClassFactory(ServerModule& module);

    HResult queryInterface(const QUuid& iid, void** object) override;
    unsigned long addRef() override { return ++m_refs; }
    unsigned long release() override;
    HResult createInstance(QWidget* parent, QWidget** control) override;
    HResult lockServer(bool lock) override;

private:
    ~ClassFactory() override;

    ServerModule& m_module;
    unsigned long m_refs = 0;
};

} // namespace platform::com
