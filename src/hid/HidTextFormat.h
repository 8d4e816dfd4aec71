#pragma once

#include <cstddef>
#include <cstdint>

#include "hid/HidTypes.h"

inline constexpr size_t kGuidTextCapacity = 50;

// Writes "4d1e55b2-f16f-11cf-88cb001111000030" (first three fields, then the
// last eight bytes without separators) into a buffer of kGuidTextCapacity
// characters and returns it.
wchar_t* formatGuidText(const HidGuid& guid, wchar_t* buffer);

// Writes each byte as two lower-case hex digits; with a separator, one follows
// every pair except the last. Only whole pairs are written, and the text is
// always terminated inside the capacity (which counts the terminator); a
// capacity of 0 leaves the buffer untouched. Returns the buffer.
wchar_t* formatHexBytes(const uint8_t* bytes, size_t count, wchar_t* buffer, size_t capacity,
                        wchar_t separator = L'\0');
