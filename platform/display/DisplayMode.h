#pragma once

#include <cstdint>

namespace platform {

// The fields of the platform's display-mode record that the programs use.
struct DisplayMode {
    std::uint32_t fields = 0; // which of the values below are set
    std::uint32_t bitsPerPel = 0;
    std::uint32_t pelsWidth = 0;
    std::uint32_t pelsHeight = 0;
    std::uint32_t displayFrequency = 0;
};

inline constexpr std::uint32_t DM_BITSPERPEL = 0x00040000;
inline constexpr std::uint32_t DM_PELSWIDTH = 0x00080000;
inline constexpr std::uint32_t DM_PELSHEIGHT = 0x00100000;
inline constexpr std::uint32_t DM_DISPLAYFREQUENCY = 0x00400000;

// The mode number that asks for the mode in force instead of a listed one.
inline constexpr int ENUM_CURRENT_SETTINGS = -1;

// Flags and results of a display-settings change.
inline constexpr std::uint32_t CDS_FULLSCREEN = 4;
enum class DispChange : int {
    Successful = 0,
    Restart = 1,
    Failed = -1,
    BadMode = -2,
    NotUpdated = -3,
    BadFlags = -4,
    BadParam = -5,
};

// Device-context queries.
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;

} // namespace platform
