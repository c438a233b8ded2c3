#pragma once

#include <Qt>

// The mouse event codes the viewer's surfaces report: the buttons held (1 left, 2 right,
// 4 middle) and the modifier keys (1 Shift, 2 Ctrl, 4 Alt), each a sum of its flags.
namespace MouseCodes {

inline int buttonCode(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
        | (buttons & Qt::MiddleButton ? 4 : 0);
}

inline int shiftCode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
        | (modifiers & Qt::AltModifier ? 4 : 0);
}

} // namespace MouseCodes
