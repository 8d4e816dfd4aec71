#pragma once

// The key table and lookupKeyName, the display name of a key code.
#include "mouse/KeyUsage.h"

#include <cstdint>

// The process-wide keyboard hook: a backend that sees key presses and
// releases, and the chain of handlers they are offered to on the UI thread.
// Handlers stay registered while the hook is off; the hook may be on with no
// handler, and then every key passes on.

// Messages a handler is called with.
inline constexpr unsigned WM_KEYDOWN = 0x0100;
inline constexpr unsigned WM_KEYUP = 0x0101;
inline constexpr unsigned WM_SYSKEYDOWN = 0x0104;
inline constexpr unsigned WM_SYSKEYUP = 0x0105;

// Hook code of an ordinary key event.
inline constexpr int HC_ACTION = 0;

// Flags of a key event.
inline constexpr uint32_t LLKHF_EXTENDED = 0x01;
inline constexpr uint32_t LLKHF_ALTDOWN = 0x20;
inline constexpr uint32_t LLKHF_UP = 0x80;

// One key event as the hook reports it.
struct KeyHookEvent {
    uint32_t vkCode = 0;    // virtual-key code
    uint32_t scanCode = 0;  // set-1 scan code
    uint32_t flags = 0;     // LLKHF_* bits
    uint32_t time = 0;      // milliseconds, as the source stamps it
};

inline constexpr bool isKeyDownMessage(unsigned message)
{
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
}
inline constexpr bool isKeyUpMessage(unsigned message)
{
    return message == WM_KEYUP || message == WM_SYSKEYUP;
}

// A handler of the chain: returns true to swallow the key, so that no later
// handler and no other program gets it. It runs on the UI thread and must
// return quickly, since keys typed anywhere wait for it.
using KeyboardHandler = bool (*)(void* object, int hookCode, unsigned message, const KeyHookEvent& event);

// How far the hook reaches while it is on.
enum class KeyboardHookReach {
    Off,         // the hook is off
    Desktop,     // every key typed anywhere on the desktop
    OwnWindows,  // only keys typed into this application's windows
};

// Switches the hook on; nothing when it is already on. True when the hook is
// on afterwards with its full reach. When the desktop refuses the hook (an
// other program holds the keyboard) the result is false and the hook falls
// back to the application's own windows; a later call tries again.
// `moduleInstance` identifies the caller's module; it is not used here.
bool switchKeyboardHookOn(void* moduleInstance = nullptr);

// Switches the hook off. True when it was on and has been removed; when the
// backend cannot remove it, it stays on.
bool switchKeyboardHookOff();

KeyboardHookReach keyboardHookReach();
// Whether the last switch-on found the desktop hook refused.
bool keyboardHookRefused();

// Appends (object, handler) to the chain.
void registerKeyboardHandler(void* object, KeyboardHandler handler);

// Removes the first registration with `handler` (and, when `object` is given,
// with that object). False when none was registered.
bool unregisterKeyboardHandler(KeyboardHandler handler, void* object = nullptr);

// The hook procedure: offers the event to the chain from the front; true when
// a handler swallowed it. Backends call it on the UI thread.
bool offerKeyToChain(int hookCode, unsigned message, const KeyHookEvent& event);

// Key code of an event: the virtual-key code's low byte, plus 0x100 when the
// event is marked extended.
constexpr int keyCodeOfEvent(uint32_t vkCode, uint32_t flags)
{
    return static_cast<int>(vkCode & 0xFFu) | ((flags & LLKHF_EXTENDED) ? 0x100 : 0);
}
