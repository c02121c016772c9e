#pragma once

#include <Qt>

namespace platform {

// Mouse buttons and modifier keys as the platform's mouse events report
// them: buttons 1 left, 2 right, 4 middle; shift state 1 Shift, 2 Ctrl, 4 Alt.
inline short mouseButtonCode(Qt::MouseButtons buttons) {
    short code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
    return code;
}

inline short shiftCode(Qt::KeyboardModifiers modifiers) {
    short code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

} // namespace platform
