#include "core/Setxianshi.h"

#include "core/Program.h"
#include "display/IDisplay.h"
#include "ui/IMessageBox.h"

using namespace platform;

void SetDisplayMode(Program& program, std::int16_t width, std::int16_t height,
                    std::uint32_t frequency) {
    DisplayMode& mode = program.vars.DispMode;
    mode.fields = DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.pelsWidth = static_cast<std::uint32_t>(width);
    mode.pelsHeight = static_cast<std::uint32_t>(height);
    if (frequency > 0) {
        mode.fields |= DM_DISPLAYFREQUENCY;
        mode.displayFrequency = frequency;
    }
    const DispChange result = program.platform.display->changeDisplaySettings(mode, CDS_FULLSCREEN);
    if (result != DispChange::Restart)
        return;
    const MsgAnswer answer =
        program.platform.messages->show({QStringLiteral("您必须重新开机！"), QStringLiteral("讯息"),
                                         MsgButtons::YesNo, MsgIcon::None, true});
    if (answer == MsgAnswer::Yes)
        program.platform.display->requestReboot();
}

void RestoreDisplayMode(Program& program) {
    const GlobalVars& g = program.vars;
    SetDisplayMode(program, g.StartWidth, g.StartHeight, g.StartFrequency);
}
