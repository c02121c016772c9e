#pragma once

#include <QColor>
#include <QPalette>
#include <QVariant>

#include <cstdint>

// The platform's colour values: 0x00BBGGRR for a colour, 0x800000nn for the
// system colour nn (0x8000000F is the button face).
class OleColor {
public:
    static constexpr std::uint32_t ButtonFace = 0x8000000F;

    // False for a value that is neither a colour nor a known system colour.
    static bool isValid(std::uint32_t value);
    // The colour on this desktop: system colours come from the palette.
    static QColor toColor(std::uint32_t value, const QPalette& palette);
    // A stored colour: the platform keeps it as a signed 32-bit number, so
    // 0x8000000F may come back negative. Raises Type mismatch or Overflow.
    static std::uint32_t fromVariant(const QVariant& value);
};
