#pragma once

#include <QMouseEvent>

// The key flags that come with a mouse message: which buttons and modifier
// keys are down, with the desktop system's bit values.
inline constexpr unsigned MK_LBUTTON = 0x0001;
inline constexpr unsigned MK_RBUTTON = 0x0002;
inline constexpr unsigned MK_SHIFT = 0x0004;
inline constexpr unsigned MK_CONTROL = 0x0008;
inline constexpr unsigned MK_MBUTTON = 0x0010;

inline unsigned keyFlagsOf(const QMouseEvent& event)
{
    unsigned flags = 0;
    const Qt::MouseButtons buttons = event.buttons();
    if (buttons & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        flags |= MK_MBUTTON;
    if (event.modifiers() & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (event.modifiers() & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}
