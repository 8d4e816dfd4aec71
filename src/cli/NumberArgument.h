#pragma once

#include <optional>
#include <string_view>

// A whole argument read as a number: decimal digits, or "0x" and hex digits,
// with an optional leading minus. None when anything else is in it.
std::optional<long long> parseNumberArgument(std::string_view text);

// parseNumberArgument within [low, high], or none.
std::optional<int> parseNumberInRange(std::string_view text, int low, int high);
