#include "mouse/MacroEncoding.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct DelayCase {
    const char* name;
    int delay;
    int unit;
    int count;
};

void PrintTo(const DelayCase& c, std::ostream* os)
{
    *os << c.name;
}

class MacroDelay : public ::testing::TestWithParam<DelayCase> {};

TEST_P(MacroDelay, EncodesUnitAndCount)
{
    const DelayCase& c = GetParam();
    const std::uint8_t encoded = encodeMacroDelay(c.delay);
    EXPECT_EQ(encoded >> kMacroDelayUnitShift, c.unit);
    EXPECT_EQ(encoded & kMacroDelayCountMask, c.count);
    EXPECT_EQ(encoded & kMacroReleaseFlag, 0) << "the release bit is not part of the delay";
}

INSTANTIATE_TEST_SUITE_P(
    MacroEncoding, MacroDelay,
    ::testing::Values(DelayCase{"Zero", 0, 0, 1}, DelayCase{"FiveRaisedToOneStep", 5, 0, 1},
                      DelayCase{"Fifty", 50, 0, 5}, DelayCase{"HundredRoundsToTen", 100, 0, 10},
                      DelayCase{"Delay13IsOneStep", 13, 0, 1}, DelayCase{"Delay16IsOneStep", 16, 0, 1},
                      DelayCase{"Delay17IsTwoSteps", 17, 0, 2}, DelayCase{"Last10msStep", 309, 0, 31},
                      DelayCase{"First50msStep", 310, 1, 6}, DelayCase{"OneSecondIn50msSteps", 1000, 1, 20},
                      DelayCase{"Last50msStep", 1549, 1, 31}, DelayCase{"First100msStep", 1550, 2, 16},
                      DelayCase{"Last100msStep", 3099, 2, 31}, DelayCase{"FirstSecondStep", 3100, 3, 3},
                      DelayCase{"FourSeconds", 4000, 3, 4}, DelayCase{"LongestDelay", 30999, 3, 31},
                      DelayCase{"SixtySecondsClamped", 60000, 3, 31},
                      DelayCase{"LargestIntClamped", 0x7FFFFFFF, 3, 31},
                      DelayCase{"MinusOneIsZeroTime", -1, 0, 1},
                      DelayCase{"OtherNegativesAreHuge", -2, 3, 31}),
    [](const auto& info) { return std::string(info.param.name); });

MacroItem item(int code, int state, int delay)
{
    return MacroItem{code, state, delay, L""};
}

RecordGroup groupOf(std::vector<MacroItem> items, int repeat = 1)
{
    RecordGroup group;
    group.repeat = repeat;
    group.items = std::move(items);
    return group;
}

TEST(EncodeMacro, KeyDownAndUpOfATranslatedKey)
{
    const macrokey_dat_t slot =
        encodeMacro(groupOf({item(0x41, 0, 100), item(0x41, 1, 100)}), MacroKeyMode::TranslateToUsage);
    EXPECT_EQ(slot.mode, 1);
    EXPECT_EQ(slot.items[0], (macrokey_item_t{0x04, 0x0A}));
    EXPECT_EQ(slot.items[1], (macrokey_item_t{0x04, 0x8A}));
    for (std::size_t i = 2; i < slot.items.size(); ++i)
        EXPECT_EQ(slot.items[i], macrokey_item_t{}) << "items after the last are zero, at " << i;
}

TEST(EncodeMacro, UntranslatedKeysKeepTheCodesLowByte)
{
    const macrokey_dat_t slot =
        encodeMacro(groupOf({item(0x141, 0, 0), item(0x1B5, 1, 0)}), MacroKeyMode::Untranslated);
    EXPECT_EQ(slot.items[0].key, 0x41);
    EXPECT_EQ(slot.items[1].key, 0xB5);
}

TEST(EncodeMacro, UnknownKeyTranslatesToZero)
{
    EXPECT_EQ(encodeMacro(groupOf({item(0x0FF, 0, 0)}), MacroKeyMode::TranslateToUsage).items[0].key, 0);
}

TEST(EncodeMacro, ReleaseFlagIsBitZeroOfTheState)
{
    const macrokey_dat_t slot = encodeMacro(groupOf({item(0x41, 2, 0), item(0x41, 3, 0), item(0x41, -1, 0)}),
                                            MacroKeyMode::TranslateToUsage);
    EXPECT_EQ(slot.items[0].timing & kMacroReleaseFlag, 0);
    EXPECT_EQ(slot.items[1].timing & kMacroReleaseFlag, kMacroReleaseFlag);
    EXPECT_EQ(slot.items[2].timing & kMacroReleaseFlag, kMacroReleaseFlag);
}

TEST(EncodeMacro, ModeByteIsTheRepeatsLowByte)
{
    EXPECT_EQ(encodeMacro(groupOf({}, 0x1FF), MacroKeyMode::TranslateToUsage).mode, 0xFF);
    EXPECT_EQ(encodeMacro(groupOf({}, 0), MacroKeyMode::TranslateToUsage).mode, 0);
}

TEST(EncodeMacro, EmptyGroupLeavesEveryItemZero)
{
    const macrokey_dat_t slot = encodeMacro(groupOf({}, 3), MacroKeyMode::TranslateToUsage);
    macrokey_dat_t expected{};
    expected.mode = 3;
    EXPECT_EQ(slot, expected);
}

TEST(EncodeMacro, KeepsOnlyTheFirstSixtyItems)
{
    std::vector<MacroItem> items;
    for (int i = 0; i < 75; ++i)
        items.push_back(item(i < 60 ? 0x41 : 0x42, 0, 10));
    const macrokey_dat_t slot = encodeMacro(groupOf(items), MacroKeyMode::TranslateToUsage);
    for (const macrokey_item_t& encoded : slot.items)
        EXPECT_EQ(encoded, (macrokey_item_t{0x04, 0x01}));
}

TEST(ButtonFunctionCode, IsTheFirstItemsKeyByte)
{
    const RecordGroup group = groupOf({item(0x141, 0, 0), item(0x42, 0, 0)});
    EXPECT_EQ(buttonFunctionCode(group, MacroKeyMode::TranslateToUsage), 0x04);
    EXPECT_EQ(buttonFunctionCode(group, MacroKeyMode::Untranslated), 0x41);
    EXPECT_EQ(buttonFunctionCode(groupOf({}), MacroKeyMode::TranslateToUsage), 0);
    EXPECT_EQ(buttonFunctionCode(groupOf({}), MacroKeyMode::Untranslated), 0);
}

} // namespace
