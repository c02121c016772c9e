#include "OleColor.h"

#include "com/ComError.h"

#include <array>

namespace {

constexpr std::uint32_t kSystemFlag = 0x80000000;

// The platform's system colour indices 0..30 and the palette roles that play
// the same part on a Qt desktop (index 25 has no part of its own there).
constexpr std::array<QPalette::ColorRole, 31> kSystemRoles{
    QPalette::Button,          // 0 scroll bar
    QPalette::Window,          // 1 desktop
    QPalette::Highlight,       // 2 active caption
    QPalette::Mid,             // 3 inactive caption
    QPalette::Window,          // 4 menu
    QPalette::Base,            // 5 window
    QPalette::Shadow,          // 6 window frame
    QPalette::WindowText,      // 7 menu text
    QPalette::Text,            // 8 window text
    QPalette::HighlightedText, // 9 caption text
    QPalette::Window,          // 10 active border
    QPalette::Window,          // 11 inactive border
    QPalette::Mid,             // 12 application workspace
    QPalette::Highlight,       // 13 highlight
    QPalette::HighlightedText, // 14 highlight text
    QPalette::Button,          // 15 button face
    QPalette::Dark,            // 16 button shadow
    QPalette::PlaceholderText, // 17 grey text
    QPalette::ButtonText,      // 18 button text
    QPalette::WindowText,      // 19 inactive caption text
    QPalette::Light,           // 20 button highlight
    QPalette::Shadow,          // 21 3-D dark shadow
    QPalette::Midlight,        // 22 3-D light
    QPalette::ToolTipText,     // 23 tooltip text
    QPalette::ToolTipBase,     // 24 tooltip background
    QPalette::Window,          // 25 (unnamed)
    QPalette::Link,            // 26 hot-tracked item
    QPalette::Highlight,       // 27 active caption gradient
    QPalette::Mid,             // 28 inactive caption gradient
    QPalette::Highlight,       // 29 menu highlight
    QPalette::Window,          // 30 menu bar
};

} // namespace

bool OleColor::isValid(std::uint32_t value) {
    if (value & kSystemFlag)
        return (value & ~kSystemFlag) < kSystemRoles.size();
    return (value & 0xFF000000) == 0;
}

QColor OleColor::toColor(std::uint32_t value, const QPalette& palette) {
    if (value & kSystemFlag) {
        const std::uint32_t index = value & ~kSystemFlag;
        return index < kSystemRoles.size() ? palette.color(kSystemRoles[index]) : QColor();
    }
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

std::uint32_t OleColor::fromVariant(const QVariant& value) {
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!ok)
        throw platform::com::ComError::typeMismatch();
    if (number < INT32_MIN || number > qlonglong(UINT32_MAX))
        throw platform::com::ComError::overflow();
    return static_cast<std::uint32_t>(number);
}
