#pragma once

#include <cstdint>

class Program;

// Switches the screen to width x height pixels for this session only; with a
// `frequency`, at that refresh rate, else at one the platform chooses. When
// the system says a restart is needed, offers to restart.
void SetDisplayMode(Program& program, std::int16_t width, std::int16_t height,
                    std::uint32_t frequency = 0);

// Back to the mode in force at start-up: its size and its refresh rate.
void RestoreDisplayMode(Program& program);
