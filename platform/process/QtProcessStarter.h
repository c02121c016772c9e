#pragma once

#include "process/IProcessStarter.h"

namespace platform {

class IHelpViewer;

// Starts programs detached; opens documents with the desktop's default action,
// except help files, which go to our own help viewer.
class QtProcessStarter : public IProcessStarter {
public:
    explicit QtProcessStarter(IHelpViewer* help = nullptr) : m_help(help) {}

    bool startProgram(const QString& path, WindowStyle style) override;
    bool shellOpen(const QString& path) override;

private:
    IHelpViewer* m_help;
};

} // namespace platform
