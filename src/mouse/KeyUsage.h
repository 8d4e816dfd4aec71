#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Key codes are a virtual-key code's low byte, plus 0x100 for an extended key.
inline constexpr int kExtendedKeyFlag = 0x100;

// One row of the key table: key code, HID keyboard usage (Keyboard/Keypad page)
// and the key's display name.
struct KeyUsageEntry {
    std::uint16_t keyCode;
    std::uint16_t usage;
    const wchar_t* name;
};

inline constexpr std::size_t kKeyUsageTableSize = 115;

// The key table in search order; the first matching row wins.
extern const std::array<KeyUsageEntry, kKeyUsageTableSize> keyUsageTable;

// Usage of `code`: an exact match first, then the code with the extended flag
// cleared; 0 when neither finds a row.
std::uint16_t lookupKeyUsage(int code);

// Display name of `code`, from the row lookupKeyUsage would use; null when
// there is none.
const wchar_t* lookupKeyName(int code);
