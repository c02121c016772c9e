#include "FitformServer.h"

#include "Fitform.h"
#include "com/ServerModule.h"

using namespace platform::com;

namespace fitform {

ServerInfo serverInfo() {
    ServerInfo info;
    info.clsid = QUuid("{2B539B0B-8955-4C0C-B023-96D0EFFFF445}");
    info.progId = "Fit_form.Fitform";
    info.libId = QUuid("{018E5405-D603-4A36-B9A7-E1552FBB3AE0}");
    info.libName = "Fit_form";
    info.versionMajor = 9;
    info.versionMinor = 0;
    info.lcid = 1033;
    info.interfaces = {{QUuid("{7818B9CD-652B-4469-A2C5-956C36A31642}"), "_Fitform"},
                       {QUuid("{459B7CA0-A4F3-4519-B556-8CC64F582425}"), "__Fitform"}};
    info.toolboxBitmap = 30000;
    return info;
}

} // namespace fitform

// The library's one module state, as every in-process server has.
ServerModule& platform::com::serverModule() {
    static ServerModule instance(
        fitform::serverInfo(),
        [](QWidget* parent, std::shared_ptr<const platform::IScreenMetrics> screen) {
            return new Fitform(parent, std::move(screen));
        });
    return instance;
}
