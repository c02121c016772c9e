#include "widgets/Twips.h"

#include <QApplication>
#include <QPalette>

namespace platform {

namespace {

// The system colours the windows may store, by index (the low byte).
QColor systemColor(std::uint32_t index) {
    const QPalette palette = QApplication::palette();
    switch (index) {
    case 0x05: // window background
        return palette.color(QPalette::Base);
    case 0x08: // window text
    case 0x12: // button text
        return palette.color(QPalette::Text);
    case 0x0D: // highlight
        return palette.color(QPalette::Highlight);
    case 0x0E: // highlighted text
        return palette.color(QPalette::HighlightedText);
    case 0x0F: // button face
        return palette.color(QPalette::Button);
    case 0x10: // button shadow
        return palette.color(QPalette::Mid);
    case 0x14: // button highlight
        return palette.color(QPalette::Light);
    case 0x18: // tool-tip background
        return palette.color(QPalette::ToolTipBase);
    default:
        return palette.color(QPalette::Window);
    }
}

} // namespace

QColor colorFromOle(std::uint32_t value) {
    if (value & 0x80000000u)
        return systemColor(value & 0xFFu);
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

std::uint32_t oleFromColor(const QColor& color) {
    const QColor c = color.toRgb();
    return static_cast<std::uint32_t>(c.red()) | static_cast<std::uint32_t>(c.green()) << 8 |
           static_cast<std::uint32_t>(c.blue()) << 16;
}

} // namespace platform
