#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Marks the end of one part of a multi-part input; chosen so that seeds can
// be written by hand.
inline constexpr std::string_view kFuzzPartSeparator = "\n--\n";

// The input as text (any bytes).
inline std::string_view fuzzText(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// Splits the input into exactly `count` parts at the first count - 1
// separators; parts that the input does not reach are empty.
std::vector<std::string_view> splitFuzzInput(std::string_view input, std::size_t count);
