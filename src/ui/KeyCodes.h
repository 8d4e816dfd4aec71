#pragma once

#include <cstdint>
#include <optional>

#include "ui/KeyboardHook.h"

// Turns the keys of the platform into the hook's key events: an evdev key
// code becomes its set-1 scan code with the E0 prefix flag, and that becomes
// the virtual-key code of a US keyboard, as the desktop system the key codes
// come from reports them (left and right modifiers apart, keypad keys by the
// NumLock state).

// X servers with evdev keycodes number keys as evdev code + 8.
inline constexpr int kX11EvdevKeycodeOffset = 8;

struct ScanCode {
    uint8_t code = 0;
    bool extended = false;  // sent with the E0 prefix (or reported as extended)
};

// The scan code of an evdev key code; none for keys without one.
std::optional<ScanCode> scanCodeOfEvdev(int evdevCode);

// The virtual-key code of a scan code; 0 when it has none.
uint32_t virtualKeyOfScanCode(ScanCode scan, bool numLock);

// The hook's event for an evdev key code (flags: LLKHF_EXTENDED for extended
// keys, LLKHF_UP for a release); none for keys that have no virtual-key code.
std::optional<KeyHookEvent> keyEventOfEvdev(int evdevCode, bool numLock, bool release);

// The hook's event for a key known only by its Qt key (no native scan code,
// as on the offscreen platform): the common keys, keypad keys when `keypad`.
std::optional<KeyHookEvent> keyEventOfQtKey(int qtKey, bool keypad, bool release);

// WM_SYSKEYDOWN/UP when Alt is held without Ctrl (or for Alt itself), as the
// desktop system reports them; WM_KEYDOWN/UP otherwise.
unsigned keyMessageOf(bool release, bool altDown, bool ctrlDown);
