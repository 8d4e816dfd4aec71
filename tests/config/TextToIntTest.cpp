#include "config/TextToInt.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

namespace {

constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::uint32_t kUintMax = std::numeric_limits<std::uint32_t>::max();

struct LongCase {
    const char* label;
    std::wstring text;
    int base;
    std::int32_t expected;
};

void PrintTo(const LongCase& row, std::ostream* out) { *out << row.label; }

class TextToLongTest : public testing::TestWithParam<LongCase> {};

TEST_P(TextToLongTest, ConvertsLikeWcstolWith32BitLong)
{
    EXPECT_EQ(textToLong(GetParam().text, GetParam().base), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToLongTest,
    testing::Values(
        LongCase{"HexUpperCase", L"1A2C", 16, 0x1A2C},
        LongCase{"HexLowerCase", L"1a2c", 16, 0x1A2C},
        LongCase{"HexWithPrefix", L"0x1A2C", 16, 0x1A2C},
        LongCase{"HexWithUpperPrefix", L"0X1a2c", 16, 0x1A2C},
        LongCase{"HexMinusOne", L"-1", 16, -1},
        LongCase{"HexAllOnesSaturates", L"FFFFFFFF", 16, kIntMax},
        LongCase{"HexLargestPositive", L"7fffffff", 16, kIntMax},
        LongCase{"HexSmallestNegative", L"-80000000", 16, kIntMin},
        LongCase{"HexBelowSmallestSaturates", L"-80000001", 16, kIntMin},
        LongCase{"HexNegativeWithPrefix", L"-0x10", 16, -16},
        LongCase{"HexPrefixWithoutDigits", L"0x", 16, 0},
        LongCase{"HexPrefixFollowedByNonDigit", L"0xg", 16, 0},
        LongCase{"HexStopsAtFirstNonDigit", L"12g4", 16, 0x12},
        LongCase{"HexLeadingWhiteSpace", L" \t\n\v\f\r1f", 16, 0x1F},
        LongCase{"DecimalPlain", L"17", 10, 17},
        LongCase{"DecimalPlusSign", L"+42", 10, 42},
        LongCase{"DecimalTrailingText", L"42abc", 10, 42},
        LongCase{"DecimalStopsAtInnerSpace", L"12 34", 10, 12},
        LongCase{"DecimalIgnoresHexPrefix", L"0x10", 10, 0},
        LongCase{"DecimalLargestPositive", L"2147483647", 10, kIntMax},
        LongCase{"DecimalAboveLargestSaturates", L"2147483648", 10, kIntMax},
        LongCase{"DecimalUnsignedAllOnesSaturates", L"4294967295", 10, kIntMax},
        LongCase{"DecimalSmallestNegative", L"-2147483648", 10, kIntMin},
        LongCase{"DecimalBelowSmallestSaturates", L"-2147483649", 10, kIntMin},
        LongCase{"DecimalFarBeyond64BitsSaturates", L"99999999999999999999999999", 10, kIntMax},
        LongCase{"DecimalFarBelow64BitsSaturates", L"-99999999999999999999999999", 10, kIntMin},
        LongCase{"Empty", L"", 10, 0},
        LongCase{"OnlyWhiteSpace", L"   ", 10, 0},
        LongCase{"OnlySign", L"-", 10, 0},
        LongCase{"SpaceAfterSign", L"- 5", 10, 0},
        LongCase{"TwoSigns", L"+-5", 10, 0},
        LongCase{"NoDigits", L"abc", 10, 0},
        LongCase{"UnsupportedBase", L"17", 1, 0}),
    [](const testing::TestParamInfo<LongCase>& info) { return std::string(info.param.label); });

struct ULongCase {
    const char* label;
    std::wstring text;
    int base;
    std::uint32_t expected;
};

void PrintTo(const ULongCase& row, std::ostream* out) { *out << row.label; }

class TextToULongTest : public testing::TestWithParam<ULongCase> {};

TEST_P(TextToULongTest, ConvertsLikeWcstoulWith32BitLong)
{
    EXPECT_EQ(textToULong(GetParam().text, GetParam().base), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToULongTest,
    testing::Values(
        ULongCase{"Plain", L"173", 10, 173u},
        ULongCase{"LeadingWhiteSpaceAndPlus", L"  +5", 10, 5u},
        ULongCase{"MinusOneGivesAllOnes", L"-1", 10, kUintMax},
        ULongCase{"MinusNegatesUnsigned", L"-2", 10, 0xFFFFFFFEu},
        ULongCase{"LargestValue", L"4294967295", 10, kUintMax},
        ULongCase{"AboveLargestSaturates", L"4294967296", 10, kUintMax},
        ULongCase{"NegativeOverflowSaturates", L"-4294967296", 10, kUintMax},
        ULongCase{"FarBeyond64BitsSaturates", L"123456789012345678901234567890", 10, kUintMax},
        ULongCase{"SignedRangeIsNotClamped", L"2147483648", 10, 0x80000000u},
        ULongCase{"TrailingText", L"12ab", 10, 12u},
        ULongCase{"NoDigits", L"x", 10, 0u},
        ULongCase{"Empty", L"", 10, 0u},
        ULongCase{"HexWithPrefix", L"0xFFFFFFFF", 16, kUintMax}),
    [](const testing::TestParamInfo<ULongCase>& info) { return std::string(info.param.label); });

} // namespace
