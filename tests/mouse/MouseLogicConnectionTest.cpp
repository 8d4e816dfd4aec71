// Connecting: start-up with and without the mouse, the read on connection,
// arrival and removal notices, and a mouse that never answers.

#include "LogicHarness.h"

#include "hid/HidPath.h"
#include "sim/MouseFirmware.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <cstring>

namespace logictest {
namespace {

constexpr uint16_t kVersion = 0x0123;
constexpr int kReadEffect = 3;
constexpr int kReadStage = 1;
const LightDat kReadLight{7, 4, 2, 1, {{{0x11, 0x22, 0x33}, {0x44, 0x55, 0x66}, {0x77, 0x88, 0x99}, {0xAA, 0xBB, 0xCC}}}};
const DpiDat kReadDpi{5, 0x01, 0x02, 0x03, 0};

// A mouse in `mode` whose selected effect, DPI stage and first button are not the defaults.
FirmwareState mouseInMode(int mode)
{
    FirmwareState state = factoryFirmwareState(kVersion);
    state.currentMode = mode;
    state.modes[mode].selectedEffect = kReadEffect;
    state.modes[mode].effects[kReadEffect] = kReadLight;
    state.currentDpiStage = kReadStage;
    state.dpiStages[kReadStage] = kReadDpi;
    state.buttons[mode][0] = ButtonAssignment{0x04, 0};
    return state;
}

// Replies the mouse sent between host requests `from` and `to`.
std::size_t repliesBetween(const std::vector<WireRecord>& wire, std::size_t from, std::size_t to)
{
    const std::vector<WireRecord> requests = recordsFrom(wire, WireDirection::HostToDevice);
    return static_cast<std::size_t>(std::count_if(wire.begin(), wire.end(), [&](const WireRecord& record) {
        return record.direction == WireDirection::DeviceToHost &&
               record.milliseconds >= requests.at(from).milliseconds &&
               record.milliseconds <= requests.at(to).milliseconds;
    }));
}

TEST(MouseLogicStartUp, WithoutTheMouseSetsTheStateToZeroForcedAndSendsNothing)
{
    LogicHarness harness;
    harness.mouse().unplug();
    ValueRecorder<int> connection;
    harness.page().connectionState.bind(&connection, &ValueRecorder<int>::onChange, false);

    harness.startUp();

    // Forced: the window hears the 0 although the value was 0 before.
    EXPECT_EQ(connection.values(), std::vector<int>{0});
    EXPECT_EQ(harness.page().connectionState.current(), 0);
    EXPECT_TRUE(harness.wire().empty());
}

struct StartUpCase {
    const char* name;
    int mouseMode;
    std::vector<std::string> requests;
};

void PrintTo(const StartUpCase& row, std::ostream* out)
{
    *out << row.name;
}

class MouseLogicStartUpWithMouse : public ::testing::TestWithParam<StartUpCase> {};

TEST_P(MouseLogicStartUpWithMouse, ReadsEverythingAndPublishesIt)
{
    const StartUpCase& row = GetParam();
    LogicHarness harness;
    ASSERT_TRUE(harness.mouse().setFirmwareState(mouseInMode(row.mouseMode)));

    harness.startUp();

    const std::vector<WireRecord> wire = harness.wire();
    EXPECT_EQ(hostRequests(wire), normalisedRequests(row.requests));
    // ReadMacroTable is answered by 48 reports before GetDpi goes out.
    EXPECT_EQ(repliesBetween(wire, 2, 3), 48u);

    PageMembers& page = harness.page();
    EXPECT_EQ(page.connectionState.current(), 1);
    EXPECT_EQ(page.versionText.current(), L"version: v0123");
    EXPECT_EQ(page.mode.current(), row.mouseMode);
    EXPECT_EQ(page.effectIndex.current(), kReadEffect);
    EXPECT_EQ(page.light.current(), kReadLight);
    EXPECT_EQ(page.dpiStage.current(), kReadStage);
    EXPECT_EQ(page.dpi.current(), kReadDpi);
    const std::vector<unsigned char> status(page.statusBytes.data(), page.statusBytes.data() + page.statusBytes.length());
    EXPECT_EQ(status, (std::vector<unsigned char>{1, 0, 0, 0, 0, 0}));
}

// The logic starts in mode 0: only another mode is a change, whose
// notification switches the mouse to the mode it reported and reads the light again.
INSTANTIATE_TEST_SUITE_P(
    Modes, MouseLogicStartUpWithMouse,
    ::testing::Values(
        StartUpCase{"MouseInMode0", 0, {"07 F9", "07 F3", "07 F6", "07 F4", "07 F5", "07 F7"}},
        StartUpCase{"MouseInMode2",
                    2,
                    {"07 F9", "07 F3", "07 F6", "07 F4", "07 F5", "07 F7", "07 FA 03", "07 F5", "07 F7"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MouseLogicStartUp, TheModeSwitchAfterTheReadPausesBeforeReadingTheLight)
{
    LogicHarness harness;
    ASSERT_TRUE(harness.mouse().setFirmwareState(mouseInMode(1)));

    harness.startUp();

    const std::vector<WireRecord> wire = harness.wire();
    ASSERT_EQ(hostRequests(wire).size(), 9u);
    EXPECT_EQ(hostRequests(wire)[6], "07 FA 02");
    EXPECT_GE(requestGapMs(wire, 6, 7), leastGapMs(50.0));
}

struct ArrivalCase {
    const char* name;
    UsbInfo configured;
    // Path of the arrival notice; empty: the simulated mouse's own path.
    std::wstring path;
    bool connects;
};

void PrintTo(const ArrivalCase& row, std::ostream* out)
{
    *out << row.name;
}

std::wstring pathWith(uint16_t vendor, uint16_t product, int interfaceNumber, int collection)
{
    return formatHidDevicePath(HidPathIds{vendor, product, interfaceNumber, collection}, "sim:0");
}

class MouseLogicArrival : public ::testing::TestWithParam<ArrivalCase> {};

TEST_P(MouseLogicArrival, ConnectsOnlyForTheConfiguredMouse)
{
    const ArrivalCase& row = GetParam();
    LogicHarness harness(row.configured);
    harness.mouse().unplug();
    harness.startUp();
    harness.mouse().plug();

    harness.logic().onDeviceChange(true, row.path.empty() ? harness.mousePath() : row.path);
    harness.settle();

    EXPECT_EQ(harness.page().connectionState.current(), row.connects ? 1 : 0);
    EXPECT_EQ(hostRequests(harness.wire()).empty(), !row.connects);
}

INSTANTIATE_TEST_SUITE_P(
    Notices, MouseLogicArrival,
    ::testing::Values(
        ArrivalCase{"TheConfiguredMouse", kConfiguredMouse, L"", true},
        ArrivalCase{"AnotherVendor", kConfiguredMouse, pathWith(0x1A2C, 0x3C4D, 1, -1), false},
        ArrivalCase{"AnotherProduct", kConfiguredMouse, pathWith(0x1A2B, 0x3C4E, 1, -1), false},
        ArrivalCase{"AnotherInterface", kConfiguredMouse, pathWith(0x1A2B, 0x3C4D, 0, -1), false},
        ArrivalCase{"AnotherCollection", kConfiguredMouse, pathWith(0x1A2B, 0x3C4D, 1, 2), false},
        ArrivalCase{"ConfiguredCollectionAbsentFromPath", UsbInfo{0x1A2B, 0x3C4D, 1, 1}, L"", false},
        ArrivalCase{"NotAHidPath", kConfiguredMouse, L"\\\\?\\usb#vid_1a2b&pid_3c4d#sim:0", false},
        ArrivalCase{"AnyInterfaceConfigured", UsbInfo{0x1A2B, 0x3C4D, -1, -1}, L"", true},
        ArrivalCase{"AnyProductConfigured", UsbInfo{0x1A2B, 0, 1, -1}, L"", true},
        ArrivalCase{"NothingConfigured", UsbInfo{0, 0, -1, -1}, L"", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct RemovalCase {
    const char* name;
    std::wstring path;  // empty: the simulated mouse's own path
    bool disconnects;
};

void PrintTo(const RemovalCase& row, std::ostream* out)
{
    *out << row.name;
}

class MouseLogicRemoval : public ::testing::TestWithParam<RemovalCase> {};

TEST_P(MouseLogicRemoval, ClosesOnlyForTheConfiguredMouse)
{
    const RemovalCase& row = GetParam();
    LogicHarness harness;
    harness.startUp();
    ASSERT_EQ(harness.page().connectionState.current(), 1);
    harness.clearWire();

    harness.logic().onDeviceChange(false, row.path.empty() ? harness.mousePath() : row.path);
    harness.settle();
    harness.page().mode.setCurrentValue(1, 0, false, false);
    harness.settle();

    EXPECT_EQ(harness.page().connectionState.current(), row.disconnects ? 0 : 1);
    // Closed, the mode change goes nowhere; still open, it reaches the mouse.
    EXPECT_EQ(hostRequests(harness.wire()).empty(), row.disconnects);
}

INSTANTIATE_TEST_SUITE_P(Notices, MouseLogicRemoval,
                         ::testing::Values(RemovalCase{"TheConfiguredMouse", L"", true},
                                           RemovalCase{"AnotherVendor", pathWith(0x1A2C, 0x3C4D, 1, -1), false},
                                           RemovalCase{"AnotherInterface", pathWith(0x1A2B, 0x3C4D, 2, -1), false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MouseLogicReconnect, AnArrivalAfterARemovalReadsTheMouseAgain)
{
    LogicHarness harness;
    harness.startUp();
    harness.logic().onDeviceChange(false, harness.mousePath());
    harness.settle();
    harness.clearWire();

    harness.logic().onDeviceChange(true, harness.mousePath());
    harness.settle();

    EXPECT_EQ(harness.page().connectionState.current(), 1);
    EXPECT_EQ(hostRequests(harness.wire()),
              normalisedRequests({"07 F9", "07 F3", "07 F6", "07 F4", "07 F5", "07 F7"}));
}

// Each of the two reads after a mode switch waits out the 3000 ms time-out,
// and nothing the reads would publish changes.
TEST(MouseLogicSilentMouse, EachReadGivesUpAfterItsTimeOutAndValuesStay)
{
    LogicHarness harness;
    FirmwareState state = factoryFirmwareState();
    state.buttons[0][0] = ButtonAssignment{0x04, 0};
    ASSERT_TRUE(harness.mouse().setFirmwareState(state));
    harness.startUp();
    PageMembers& page = harness.page();
    const std::vector<unsigned char> statusBefore(page.statusBytes.data(),
                                                  page.statusBytes.data() + page.statusBytes.length());
    harness.clearWire();
    harness.mouse().setSilent(true);

    const auto start = std::chrono::steady_clock::now();
    page.mode.setCurrentValue(1, 0, false, false);
    harness.settle();
    const auto elapsed = std::chrono::steady_clock::now() - start;

    const std::vector<WireRecord> wire = harness.wire();
    EXPECT_EQ(hostRequests(wire), normalisedRequests({"07 FA 02", "07 F5", "07 F7"}));
    EXPECT_TRUE(recordsFrom(wire, WireDirection::DeviceToHost).empty());
    EXPECT_GE(requestGapMs(wire, 1, 2), leastGapMs(3000.0));
    EXPECT_GE(elapsed, 50ms + 2 * 3000ms);
    // Mode 1 was never read: the page has the reset entry the switch
    // published (an answer would have been the mouse's default effect), and
    // the status bytes of mode 0 (mode 1 has no assigned button).
    LightDat zeroLight;
    std::memset(static_cast<void*>(&zeroLight), 0, sizeof zeroLight);
    EXPECT_EQ(page.light.current(), zeroLight);
    EXPECT_EQ(page.effectIndex.current(), 0);
    const std::vector<unsigned char> statusAfter(page.statusBytes.data(),
                                                 page.statusBytes.data() + page.statusBytes.length());
    EXPECT_EQ(statusAfter, statusBefore);
}

}  // namespace
}  // namespace logictest
