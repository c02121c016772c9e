#pragma once

#include <cstdint>

class Program;

// Switches the screen to width x height pixels for this session only. When the
// system says a restart is needed, offers to restart.
void SetDisplayMode(Program& program, std::int16_t width, std::int16_t height);
