#include "ui/KeyCodes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct EvdevCase {
    const char* label;
    int evdev;
    bool numLock;
    int keyCode;
    const wchar_t* name;  // null: not in the key table
};

// evdev codes from linux/input-event-codes.h.
const EvdevCase kEvdevCases[] = {
    {"A", 30, false, 0x41, L"A"},
    {"Enter", 28, false, 0x0D, L"Enter"},
    {"KeypadEnter", 96, false, 0x10D, L"Pad Enter"},
    {"RightCtrl", 97, false, 0x1A3, L"CtrlRight"},
    {"LeftCtrl", 29, false, 0xA2, L"CtrlLeft"},
    {"RightAlt", 100, false, 0x1A5, L"AltRight"},
    {"RightShift", 54, false, 0x1A1, L"ShiftRight"},
    {"LeftShift", 42, false, 0xA0, L"ShiftLeft"},
    {"KeypadDivide", 98, false, 0x16F, L"Pad /"},
    {"NumLock", 69, false, 0x190, L"NumLock"},
    {"Pause", 119, false, 0x13, L"Pause"},
    {"PrintScreen", 99, false, 0x12C, L"PrintScreen"},
    {"ArrowUp", 103, false, 0x126, L"ArrowUp"},
    {"Insert", 110, false, 0x12D, L"Insert"},
    {"LeftMeta", 125, false, 0x15B, L"WinLeft"},
    {"Menu", 127, false, 0x15D, L"App"},
    {"Keypad7NumLockOn", 71, true, 0x67, L"Pad 7"},
    {"Keypad7NumLockOff", 71, false, 0x24, L"Home/Pad 7"},
    {"Keypad5NumLockOff", 76, false, 0x0C, L"Clear/Pad 5"},
    {"KeypadDotNumLockOn", 83, true, 0x6E, L"Pad ."},
    {"KeypadPlusIgnoresNumLock", 78, true, 0x6B, L"Pad +"},
    {"Grave", 41, false, 0xC0, L"~"},
    {"F12", 88, false, 0x7B, L"F12"},
    {"F13NotInTable", 183, false, 0x7C, nullptr},
    {"Space", 57, false, 0x20, L"SpaceBar"},
};

class EvdevKeys : public testing::TestWithParam<EvdevCase> {};

TEST_P(EvdevKeys, GiveTheKeyCodeAndName)
{
    const EvdevCase& c = GetParam();
    const auto event = keyEventOfEvdev(c.evdev, c.numLock, false);
    ASSERT_TRUE(event.has_value());
    const int code = keyCodeOfEvent(event->vkCode, event->flags);
    EXPECT_EQ(code, c.keyCode);
    const wchar_t* name = lookupKeyName(code);
    if (c.name) {
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(std::wstring(name), c.name);
    } else {
        EXPECT_EQ(name, nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, EvdevKeys, testing::ValuesIn(kEvdevCases),
                         [](const testing::TestParamInfo<EvdevCase>& info) { return std::string(info.param.label); });

TEST(EvdevKeys, ReleaseCarriesTheUpFlagAndTheSameCode)
{
    const auto press = keyEventOfEvdev(97, false, false);
    const auto release = keyEventOfEvdev(97, false, true);
    ASSERT_TRUE(press && release);
    EXPECT_EQ(press->flags & LLKHF_UP, 0u);
    EXPECT_NE(release->flags & LLKHF_UP, 0u);
    EXPECT_EQ(keyCodeOfEvent(press->vkCode, press->flags), keyCodeOfEvent(release->vkCode, release->flags));
}

TEST(EvdevKeys, CodesWithoutAScanCodeGiveNoEvent)
{
    for (int code : {0, 84, 240, 600}) {
        EXPECT_FALSE(keyEventOfEvdev(code, false, false).has_value()) << code;
    }
}

struct NameCase {
    const char* label;
    int code;
    const wchar_t* name;
};

// The lookup clears 0x100 of the searched code, never of the table's codes.
const NameCase kNameCases[] = {
    {"ExtendedFallsBackToPlain", 0x141, L"A"},
    {"PlainDoesNotFindExtendedEntry", 0xA3, nullptr},
    {"ExtendedEntryExact", 0x1A3, L"CtrlRight"},
    {"PadEnter", 0x10D, L"Pad Enter"},
    {"Enter", 0x0D, L"Enter"},
    {"Unknown", 0x07, nullptr},
};

class KeyNames : public testing::TestWithParam<NameCase> {};

TEST_P(KeyNames, LookUpExactThenWithoutTheExtendedFlag)
{
    const wchar_t* name = lookupKeyName(GetParam().code);
    if (GetParam().name) {
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(std::wstring(name), GetParam().name);
    } else {
        EXPECT_EQ(name, nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, KeyNames, testing::ValuesIn(kNameCases),
                         [](const testing::TestParamInfo<NameCase>& info) { return std::string(info.param.label); });

TEST(KeyCodeOfEvent, KeepsTheLowByteAndAddsTheExtendedFlag)
{
    EXPECT_EQ(keyCodeOfEvent(0xA3, LLKHF_EXTENDED), 0x1A3);
    EXPECT_EQ(keyCodeOfEvent(0x0D, LLKHF_EXTENDED), 0x10D);
    EXPECT_EQ(keyCodeOfEvent(0x0D, 0), 0x0D);
    EXPECT_EQ(keyCodeOfEvent(0x1241, LLKHF_UP), 0x41);
}

TEST(KeyMessages, AltWithoutCtrlMakesSystemKeys)
{
    EXPECT_EQ(keyMessageOf(false, false, false), WM_KEYDOWN);
    EXPECT_EQ(keyMessageOf(true, false, false), WM_KEYUP);
    EXPECT_EQ(keyMessageOf(false, true, false), WM_SYSKEYDOWN);
    EXPECT_EQ(keyMessageOf(true, true, false), WM_SYSKEYUP);
    EXPECT_EQ(keyMessageOf(false, true, true), WM_KEYDOWN);
}

}  // namespace
