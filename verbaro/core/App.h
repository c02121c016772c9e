#pragma once

// The program's title and version, as its windows show them.
namespace App {
inline constexpr const char* Title = "Verbaro";
inline constexpr int Major = 1;
inline constexpr int Minor = 0;
inline constexpr int Revision = 0;
} // namespace App
