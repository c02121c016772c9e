#include "core/StartUpGuard.h"

#include "core/Program.h"
#include "core/Setxianshi.h"
#include "display/IDisplay.h"

#include <QDebug>

#include <exception>

using namespace platform;

StartUpGuard::~StartUpGuard() {
    restore();
}

void StartUpGuard::restore() noexcept {
    try {
        restoreSwitched();
    } catch (const std::exception& e) {
        qWarning("Cannot restore the display mode: %s", e.what());
    } catch (...) {
        qWarning("Cannot restore the display mode");
    }
}

void StartUpGuard::restoreSwitched() {
    if (switched())
        RestoreDisplayMode(m_program);
}

bool StartUpGuard::switched() const {
    const GlobalVars& g = m_program.vars;
    if (g.StartWidth <= 0 || g.StartHeight <= 0)
        return false;
    DisplayMode now;
    if (!m_program.platform.display->enumDisplaySettings(ENUM_CURRENT_SETTINGS, now))
        return false;
    return now.pelsWidth != static_cast<std::uint32_t>(g.StartWidth) ||
           now.pelsHeight != static_cast<std::uint32_t>(g.StartHeight) ||
           (g.StartFrequency > 0 && now.displayFrequency != g.StartFrequency);
}
