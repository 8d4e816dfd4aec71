#pragma once

#include "shape/Records.h"

#include <cstdint>

// Timing byte of a macro item: bits 0-4 count, bits 5-6 unit, bit 7 release.
inline constexpr std::uint8_t kMacroDelayCountMask = 0x1F;
inline constexpr int kMacroDelayUnitShift = 5;
inline constexpr std::uint8_t kMacroDelayUnitMask = 0x03;
inline constexpr std::uint8_t kMacroReleaseFlag = 0x80;

// How the key byte of each item is made from the item's key code.
enum class MacroKeyMode {
    TranslateToUsage, // the HID usage the key table gives for the code
    Untranslated,     // the code's own low byte
};

// Bits 0-6 of the timing byte (unit and count) for a delay in milliseconds,
// rounded to the nearest step of the unit that fits; at most 31 s.
std::uint8_t encodeMacroDelay(int delay);

// The key byte of one item.
std::uint8_t encodeMacroKey(int code, MacroKeyMode keyMode);

// Slot image of a group: byte 0 the repeat's low byte, then one item per
// MacroItem, at most 60; unused items are zero.
macrokey_dat_t encodeMacro(const RecordGroup& group, MacroKeyMode keyMode);

// Function code sent to bind one key to a button: the key byte of the group's
// first item, or 0 for a group without items.
std::uint8_t buttonFunctionCode(const RecordGroup& group, MacroKeyMode keyMode);
