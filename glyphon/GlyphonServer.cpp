#include "GlyphonServer.h"

#include "ImageLabel.h"
#include "com/ServerModule.h"

using namespace platform::com;

namespace glyphon {

ServerInfo serverInfo() {
    ServerInfo info;
    info.clsid = QUuid("{12C04C6A-6E34-46F6-8A6A-1F08CE3EB3F8}");
    info.progId = "Glyphon.ImageLabel";
    info.libId = QUuid("{777DF569-DE38-4EED-A5FD-BAD9759F2571}");
    info.libName = "Glyphon";
    info.versionMajor = 4;
    info.versionMinor = 0;
    info.lcid = 1033;
    info.interfaces = {{QUuid("{BDEA91D6-09DE-454D-B8D1-9759FF7B4020}"), "_ImageLabel"},
                       {QUuid("{5B34AAC3-1C6A-43A4-AF02-B2CD930F7AAF}"), "__ImageLabel"}};
    info.toolboxBitmap = 30000;
    return info;
}

} // namespace glyphon

// The library's one module state, as every in-process server has.
ServerModule& platform::com::serverModule() {
    static ServerModule instance(
        glyphon::serverInfo(),
        [](QWidget* parent, std::shared_ptr<const platform::IScreenMetrics> screen) {
            return new ImageLabel(parent, std::move(screen));
        });
    return instance;
}
