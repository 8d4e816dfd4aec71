#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// Reads comma-separated decimal integers like scanf's "%d,%d,...": each number
// may follow white space and carry a sign; reading stops at the first
// mismatch. Only the fields read are written, the others keep their values.
// Returns how many were read. Values beyond 32 bits saturate.
std::size_t scanDecimalList(std::wstring_view text, std::span<std::int32_t> fields);
