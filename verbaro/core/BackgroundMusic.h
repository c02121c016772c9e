#pragma once

#include <QString>
#include <cstdint>

class Program;

// The unit menu's MIDI alias "BackgroundMusic". The menu opens it and the
// exercise window closes and reopens it; nothing plays it. Every result goes
// to the unit menu's RetValue, which keeps the music's state.

// "wave/backsound.mid" under the program folder, quoted when it holds a blank.
QString BackgroundMusicFile(const QString& AppPath);

// Sends `command` to the media-command interpreter; returns its result and
// stores it in the unit menu's RetValue when the menu is loaded.
std::int32_t SendMusicCommand(Program& program, const QString& command);

// "OPEN <file> TYPE SEQUENCER ALIAS BackgroundMusic" and "CLOSE BackgroundMusic".
std::int32_t OpenBackgroundMusic(Program& program);
std::int32_t CloseBackgroundMusic(Program& program);
