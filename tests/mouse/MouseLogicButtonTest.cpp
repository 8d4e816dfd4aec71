// Button assignments published by the page: the macro download of all 24
// slots, the single-function requests of each kind, and what is refused.

#include "LogicHarness.h"

#include "sim/MouseFirmware.h"

#include <gtest/gtest.h>

#include <ostream>

namespace logictest {
namespace {

// Kinds of assignment, as the page passes them in the param.
constexpr int kRestoreDefault = 0;
constexpr int kMacro = 1;
constexpr int kSingleKey = 2;
constexpr int kFunctionKey = 3;
constexpr int kCombinationKey = 4;

constexpr int kKeyA = 0x41;  // HID usage 0x04

RecordGroup assignment(int button, std::vector<MacroItem> items, int repeat = 1)
{
    return RecordGroup{button, 0, repeat, L"button", L"group", std::move(items)};
}

// A macro slot the mouse already holds, so that its halves show whether the
// download sends what the connection read.
macrokey_dat_t storedSlot()
{
    macrokey_dat_t slot{};
    slot.mode = 2;
    slot.items[0] = macrokey_item_t{0x05, 0x21};
    slot.items[30] = macrokey_item_t{0x06, 0x22};
    return slot;
}
constexpr int kStoredSlot = 5;

std::vector<std::string> halfRequests(const std::vector<std::string>& requests)
{
    std::vector<std::string> halves;
    for (const std::string& request : requests) {
        if (request.rfind("07 FF", 0) == 0) {
            halves.push_back(request);
        }
    }
    return halves;
}

class MouseLogicMacroDownload : public ::testing::Test {
protected:
    void SetUp() override
    {
        FirmwareState state = factoryFirmwareState();
        state.currentMode = 2;
        state.macroSlots[kStoredSlot] = storedSlot();
        ASSERT_TRUE(harness.mouse().setFirmwareState(state));
        harness.startUp();
        ASSERT_EQ(harness.page().mode.current(), 2);
        harness.clearWire();
    }

    void publish(const RecordGroup& group, int kind)
    {
        harness.page().buttonAssignment.setCurrentValue(group, kind, false, true);
        harness.settle();
    }

    LogicHarness harness;
};

TEST_F(MouseLogicMacroDownload, TwoItemMacroOnButtonOneInModeTwoWritesSlot17AndBindsIt)
{
    publish(assignment(1, {MacroItem{kKeyA, 0, 100, L"A"}, MacroItem{kKeyA, 1, 100, L"A"}}), kMacro);

    const std::vector<WireRecord> wire = harness.wire();
    const std::vector<std::string> requests = hostRequests(wire);
    ASSERT_EQ(requests.size(), 48u + 2u);
    // Every half, in order, each from the logic's table.
    const std::vector<WireRecord> sent = recordsFrom(wire, WireDirection::HostToDevice);
    for (int half = 0; half < 48; ++half) {
        EXPECT_EQ(sent[half].bytes[1], 0xFF) << requests[half];
        EXPECT_EQ(sent[half].bytes[2], half) << requests[half];
    }
    EXPECT_EQ(requests[34], normalisedHex("07 FF 22 01 04 0A 04 8A"));
    EXPECT_EQ(requests[35], normalisedHex("07 FF 23 01"));
    // The slot read at connection goes back as it was read.
    EXPECT_EQ(requests[10], normalisedHex("07 FF 0A 02 05 21"));
    EXPECT_EQ(requests[11], normalisedHex("07 FF 0B 02 06 22"));
    EXPECT_EQ(requests[48], normalisedHex("07 FE 02 12"));
    EXPECT_EQ(requests[49], normalisedHex("07 F7"));

    EXPECT_GE(requestGapMs(wire, 0, 1), leastGapMs(100.0));
    EXPECT_GE(requestGapMs(wire, 47, 48), leastGapMs(20.0));
    EXPECT_GE(requestGapMs(wire, 48, 49), leastGapMs(20.0));

    const FirmwareState after = harness.mouse().firmwareState();
    EXPECT_EQ(after.macroSlots[kStoredSlot], storedSlot());
    EXPECT_EQ(after.buttons[2][1].boundSlotPlusOne, 18);
    EXPECT_EQ(harness.page().statusBytes.at(1), 1);
}

TEST_F(MouseLogicMacroDownload, ASecondDownloadKeepsTheFirstSlot)
{
    publish(assignment(1, {MacroItem{kKeyA, 0, 100, L"A"}}), kMacro);
    harness.clearWire();

    publish(assignment(2, {MacroItem{0x42, 0, 0, L"B"}}, 3), kMacro);

    const std::vector<std::string> halves = halfRequests(hostRequests(harness.wire()));
    ASSERT_EQ(halves.size(), 48u);
    EXPECT_EQ(halves[34], normalisedHex("07 FF 22 01 04 0A"));
    EXPECT_EQ(halves[36], normalisedHex("07 FF 24 03 05 01"));
}

// A combination key's codes go to the mouse untranslated.
TEST_F(MouseLogicMacroDownload, CombinationKeyDownloadsItsCodesUntranslated)
{
    publish(assignment(0,
                       {MacroItem{17, 0, 6, L""}, MacroItem{65, 0, 1, L""}, MacroItem{17, 1, 5, L""},
                        MacroItem{65, 1, 0, L""}}),
            kCombinationKey);

    const std::vector<std::string> requests = hostRequests(harness.wire());
    ASSERT_EQ(requests.size(), 50u);
    EXPECT_EQ(requests[32], normalisedHex("07 FF 20 01 11 01 41 01 11 81 41 81"));
    EXPECT_EQ(requests[48], normalisedHex("07 FE 01 11"));
}

struct ButtonCase {
    const char* name;
    int kind;
    RecordGroup group;
    std::vector<std::string> requests;
};

void PrintTo(const ButtonCase& row, std::ostream* out)
{
    *out << row.name;
}

class MouseLogicButtonFunction : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(MouseLogicButtonFunction, SendsTheRequestsOfItsKind)
{
    const ButtonCase& row = GetParam();
    LogicHarness harness;
    harness.startUp();
    harness.clearWire();

    harness.page().buttonAssignment.setCurrentValue(row.group, row.kind, false, true);
    harness.settle();

    const std::vector<WireRecord> wire = harness.wire();
    ASSERT_EQ(hostRequests(wire), normalisedRequests(row.requests));
    for (std::size_t i = 1; i < row.requests.size(); ++i) {
        EXPECT_GE(requestGapMs(wire, i - 1, i), leastGapMs(20.0)) << "before request " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MouseLogicButtonFunction,
    ::testing::Values(
        ButtonCase{"RestoreDefault", kRestoreDefault, assignment(1, {}), {"07 FD 02 00", "07 FE 02 00", "07 F7"}},
        ButtonCase{"RestoreDefaultWithAKey",
                   kRestoreDefault,
                   assignment(1, {MacroItem{kKeyA, 0, 0, L""}}),
                   {"07 FD 02 04", "07 FE 02 00", "07 F7"}},
        ButtonCase{"SingleKeyTranslated", kSingleKey, assignment(3, {MacroItem{kKeyA, 0, 0, L""}}), {"07 FD 04 04", "07 F7"}},
        ButtonCase{"SingleExtendedKey", kSingleKey, assignment(3, {MacroItem{0x12D, 0, 0, L""}}), {"07 FD 04 49", "07 F7"}},
        ButtonCase{"FunctionKeyUntranslated", kFunctionKey, assignment(1, {MacroItem{0xE9, 0, 0, L""}}), {"07 FD 02 E9", "07 F7"}},
        ButtonCase{"FunctionKeyWithoutItems", kFunctionKey, assignment(1, {}), {"07 FD 02 00", "07 F7"}},
        ButtonCase{"LastButton", kSingleKey, assignment(7, {MacroItem{kKeyA, 0, 0, L""}}), {"07 FD 08 04", "07 F7"}},
        ButtonCase{"UnknownKind", 5, assignment(1, {MacroItem{kKeyA, 0, 0, L""}}), {}},
        // Slots are numbered button + 8 x mode: another number would name
        // another button's slot or function.
        ButtonCase{"ButtonBeyondTheLast", kMacro, assignment(8, {MacroItem{kKeyA, 0, 0, L""}}), {}},
        ButtonCase{"NegativeButton", kSingleKey, assignment(-1, {MacroItem{kKeyA, 0, 0, L""}}), {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace logictest
