#include "mouse/KeyUsage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>
#include <string>

namespace {

TEST(KeyUsageTable, EveryRowHasAUsageAndAName)
{
    for (const KeyUsageEntry& entry : keyUsageTable) {
        SCOPED_TRACE(entry.keyCode);
        EXPECT_NE(entry.usage, 0);
        ASSERT_NE(entry.name, nullptr);
        EXPECT_FALSE(std::wstring(entry.name).empty());
    }
}

TEST(KeyUsageTable, NoKeyCodeIsListedTwice)
{
    std::set<int> seen;
    for (const KeyUsageEntry& entry : keyUsageTable)
        EXPECT_TRUE(seen.insert(entry.keyCode).second) << "duplicate key code " << entry.keyCode;
}

TEST(KeyUsageTable, StartsWithEscapeAndEndsWithClear)
{
    EXPECT_EQ(keyUsageTable.front().keyCode, 0x01B);
    EXPECT_EQ(std::wstring(keyUsageTable.front().name), L"Esc");
    EXPECT_EQ(keyUsageTable.back().keyCode, 0x00C);
    EXPECT_EQ(std::wstring(keyUsageTable.back().name), L"Clear/Pad 5");
}

// Letter keys have their ASCII capital as key code; HID usages run from 0x04
// for A in alphabetical order.
TEST(KeyUsageTable, LettersFollowTheAlphabet)
{
    for (int letter = 0; letter < 26; ++letter) {
        const int code = 'A' + letter;
        SCOPED_TRACE(static_cast<char>(code));
        EXPECT_EQ(lookupKeyUsage(code), 0x04 + letter);
    }
}

// Digit keys: usages 0x1E for 1 through 0x26 for 9, then 0x27 for 0.
TEST(KeyUsageTable, DigitsFollowTheKeyboardRow)
{
    for (int digit = 1; digit <= 9; ++digit)
        EXPECT_EQ(lookupKeyUsage('0' + digit), 0x1E + digit - 1) << digit;
    EXPECT_EQ(lookupKeyUsage('0'), 0x27);
}

TEST(KeyUsageTable, FunctionKeysAreConsecutive)
{
    for (int n = 0; n < 12; ++n)
        EXPECT_EQ(lookupKeyUsage(0x70 + n), 0x3A + n) << "F" << n + 1;
}

// Keypad digits 1-9 are usages 0x59-0x61 and keypad 0 is 0x62.
TEST(KeyUsageTable, KeypadDigitsFollowTheKeypadUsages)
{
    EXPECT_EQ(lookupKeyUsage(0x60), 0x62);
    for (int digit = 1; digit <= 9; ++digit)
        EXPECT_EQ(lookupKeyUsage(0x60 + digit), 0x59 + digit - 1) << digit;
}

struct NumLockOffCase {
    const char* name;
    int navigationCode;
    int keypadCode;
};

void PrintTo(const NumLockOffCase& c, std::ostream* os)
{
    *os << c.name;
}

class NumLockOffNavigation : public ::testing::TestWithParam<NumLockOffCase> {};

// With NumLock off a keypad key arrives as a non-extended navigation code; it
// must give the same usage as the keypad key itself.
TEST_P(NumLockOffNavigation, MapsToTheKeypadKey)
{
    const NumLockOffCase& c = GetParam();
    EXPECT_EQ(lookupKeyUsage(c.navigationCode), lookupKeyUsage(c.keypadCode));
    EXPECT_NE(lookupKeyUsage(c.navigationCode), lookupKeyUsage(c.navigationCode | kExtendedKeyFlag))
        << "the extended form is the dedicated navigation key";
}

INSTANTIATE_TEST_SUITE_P(KeyUsage, NumLockOffNavigation,
                         ::testing::Values(NumLockOffCase{"Insert", 0x2D, 0x60},
                                           NumLockOffCase{"End", 0x23, 0x61},
                                           NumLockOffCase{"ArrowDown", 0x28, 0x62},
                                           NumLockOffCase{"PageDown", 0x22, 0x63},
                                           NumLockOffCase{"ArrowLeft", 0x25, 0x64},
                                           NumLockOffCase{"ArrowRight", 0x27, 0x66},
                                           NumLockOffCase{"Home", 0x24, 0x67},
                                           NumLockOffCase{"ArrowUp", 0x26, 0x68},
                                           NumLockOffCase{"PageUp", 0x21, 0x69},
                                           NumLockOffCase{"Delete", 0x2E, 0x6E}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(KeyUsageTable, ClearIsKeypadFive)
{
    EXPECT_EQ(lookupKeyUsage(0x0C), lookupKeyUsage(0x65));
}

struct LookupCase {
    const char* name;
    int code;
    int usage;
};

void PrintTo(const LookupCase& c, std::ostream* os)
{
    *os << c.name;
}

class LookupKeyUsage : public ::testing::TestWithParam<LookupCase> {};

TEST_P(LookupKeyUsage, GivesTheUsage)
{
    EXPECT_EQ(lookupKeyUsage(GetParam().code), GetParam().usage);
}

INSTANTIATE_TEST_SUITE_P(
    KeyUsage, LookupKeyUsage,
    ::testing::Values(LookupCase{"ExtendedInsertIsNavigationInsert", 0x12D, 0x49},
                      LookupCase{"PlainInsertIsKeypadZero", 0x2D, 0x62},
                      LookupCase{"ExtendedLetterFallsBackToTheLetter", 0x141, 0x04},
                      LookupCase{"ExtendedEnterIsKeypadEnter", 0x10D, 0x58},
                      LookupCase{"PlainEnter", 0x0D, 0x28},
                      LookupCase{"ExtendedLeftShiftFallsBackToLeftShift", 0x1A0, 0xE1},
                      LookupCase{"RightShiftIsDistinct", 0x1A1, 0xE5},
                      LookupCase{"PlainRightShiftIsNotListed", 0x0A1, 0},
                      LookupCase{"LeftControl", 0x0A2, 0xE0},
                      LookupCase{"RightControl", 0x1A3, 0xE4},
                      LookupCase{"LeftWindows", 0x15B, 0xE3},
                      LookupCase{"RightWindows", 0x15C, 0xE7},
                      LookupCase{"RightAlt", 0x1A5, 0xE6},
                      LookupCase{"PlainPrintScreenIsNotListed", 0x02C, 0},
                      LookupCase{"ExtendedPrintScreen", 0x12C, 0x46},
                      LookupCase{"UnknownCode", 0x0FF, 0},
                      LookupCase{"UnknownExtendedCode", 0x1FF, 0},
                      LookupCase{"NegativeCode", -1, 0},
                      LookupCase{"CodeAboveSixteenBits", 0x10041, 0},
                      LookupCase{"QuoteKey", 0x0DE, 0x34}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeyUsageTable, QuoteKeyNameIsTheLeftSingleQuotationMark)
{
    const auto quote = std::find_if(keyUsageTable.begin(), keyUsageTable.end(),
                                    [](const KeyUsageEntry& entry) { return entry.keyCode == 0x0DE; });
    ASSERT_NE(quote, keyUsageTable.end());
    EXPECT_EQ(std::wstring(quote->name), L"\u2018");
}

} // namespace
