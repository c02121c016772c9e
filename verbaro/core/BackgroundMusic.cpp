#include "core/BackgroundMusic.h"

#include "core/Program.h"
#include "media/IMediaCommands.h"
#include "windows/frmUnit.h"

QString BackgroundMusicFile(const QString& AppPath) {
    const QString path = AppPath + QStringLiteral("wave/backsound.mid");
    return path.contains(QLatin1Char(' ')) ? QLatin1Char('"') + path + QLatin1Char('"') : path;
}

std::int32_t SendMusicCommand(Program& program, const QString& command) {
    platform::IMediaCommands* media = program.platform.mediaCommands;
    if (!media)
        return 0;
    const std::int32_t result = media->sendString(command);
    if (program.forms.isLoaded<frmUnit>())
        program.forms.get<frmUnit>().RetValue = result;
    return result;
}

std::int32_t OpenBackgroundMusic(Program& program) {
    return SendMusicCommand(program, QStringLiteral("OPEN ") +
                                         BackgroundMusicFile(program.vars.AppPath) +
                                         QStringLiteral(" TYPE SEQUENCER ALIAS BackgroundMusic"));
}

std::int32_t CloseBackgroundMusic(Program& program) {
    return SendMusicCommand(program, QStringLiteral("CLOSE BackgroundMusic"));
}
