// The device logic against the simulated mouse made through uhid, with the
// kernel's hidraw nodes and uevents between them: the read on connection, a
// mode change, a macro download, a factory reset during which the mouse drops
// off and comes back, and an unplug in the middle of the macro-table read.

#include "GuestHarness.h"

#include "mouse/MacroEncoding.h"
#include "sim/MouseFirmware.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <string>
#include <vector>

namespace guest {
namespace {

using Clock = std::chrono::steady_clock;

const std::vector<std::string> kConnectRead{"07 F9", "07 F3", "07 F6", "07 F4", "07 F5", "07 F7"};
constexpr std::size_t kMacroTableReplies = 48;

// Records every value a page member is notified of.
class ConnectionRecorder {
public:
    void onChange(int, const int* data, uint32_t length, uint32_t, uint32_t index, uint32_t, int)
    {
        std::lock_guard lock(mutex_);
        values_.push_back(data != nullptr && index < length ? data[index] : -1);
    }

    std::vector<int> values() const
    {
        std::lock_guard lock(mutex_);
        return values_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<int> values_;
};

// Replies sent between host requests `from` and `to` (indices among the requests).
std::size_t repliesBetween(const std::vector<WireRecord>& wire, std::size_t from, std::size_t to)
{
    const std::vector<WireRecord> requests = recordsFrom(wire, WireDirection::HostToDevice);
    return static_cast<std::size_t>(std::count_if(wire.begin(), wire.end(), [&](const WireRecord& record) {
        return record.direction == WireDirection::DeviceToHost &&
               record.milliseconds >= requests.at(from).milliseconds &&
               record.milliseconds <= requests.at(to).milliseconds;
    }));
}

double requestGapMs(const std::vector<WireRecord>& wire, std::size_t from, std::size_t to)
{
    const std::vector<WireRecord> requests = recordsFrom(wire, WireDirection::HostToDevice);
    return requests.at(to).milliseconds - requests.at(from).milliseconds;
}

FirmwareState mouseInMode(int mode)
{
    FirmwareState state = factoryFirmwareState(kMouseIdentity.firmwareVersion);
    state.currentMode = mode;
    return state;
}

struct ConnectCase {
    const char* name;
    MouseBus bus;
};

class GuestConnectRead : public ::testing::TestWithParam<ConnectCase> {};

TEST_P(GuestConnectRead, ReadsEverythingAndFollowsWithTheModeNotification)
{
    GuestHarness harness(GetParam().bus);
    ASSERT_TRUE(harness.ready());
    ASSERT_TRUE(harness.mouse().setFirmwareState(mouseInMode(2)));

    harness.startUp();

    const std::vector<WireRecord> wire = harness.wire();
    std::vector<std::string> expected = kConnectRead;
    expected.insert(expected.end(), {"07 FA 03", "07 F5", "07 F7"});
    ASSERT_EQ(hostRequests(wire), expected);
    EXPECT_EQ(repliesBetween(wire, 2, 3), kMacroTableReplies);
    EXPECT_GE(requestGapMs(wire, 6, 7), 50.0);
    EXPECT_EQ(harness.page().connectionState.current(), 1);
    EXPECT_EQ(harness.page().versionText.current(), L"version: v0105");
    EXPECT_EQ(harness.page().mode.current(), 2);
}

INSTANTIATE_TEST_SUITE_P(Buses, GuestConnectRead,
                         ::testing::Values(ConnectCase{"Uhid", MouseBus::uhid},
                                           ConnectCase{"SocketPair", MouseBus::socketPair}),
                         [](const auto& info) { return std::string(info.param.name); });

class KernelLogic : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(harness.ready());
        harness.startUp();
        ASSERT_EQ(harness.page().connectionState.current(), 1);
        harness.clearWire();
    }

    GuestHarness harness{MouseBus::uhid};
};

TEST_F(KernelLogic, AModeChangeSwitchesTheMouseAndReadsTheLightAfterThePause)
{
    harness.page().mode.setCurrentValue(1, 0, false, false);
    harness.settle();

    const std::vector<WireRecord> wire = harness.wire();
    ASSERT_EQ(hostRequests(wire), (std::vector<std::string>{"07 FA 02", "07 F5", "07 F7"}));
    EXPECT_GE(requestGapMs(wire, 0, 1), 50.0);
    EXPECT_EQ(harness.mouse().firmwareState().currentMode, 1);
}

TEST_F(KernelLogic, AMacroDownloadWritesEveryHalfThenBindsTheButton)
{
    RecordGroup group;
    group.code = 1;
    group.items = {MacroItem{0x41, 0, 100, L"A"}, MacroItem{0x41, 1, 100, L"A"}};
    constexpr int kMacroParam = 1;
    harness.page().buttonAssignment.setCurrent(group, kMacroParam, false, false);
    harness.settle();

    const std::vector<WireRecord> wire = harness.wire();
    const std::vector<std::string> requests = hostRequests(wire);
    ASSERT_EQ(requests.size(), 2 * 24 + 2);
    for (std::size_t half = 0; half < 48; ++half) {
        const MouseReport& report = recordsFrom(wire, WireDirection::HostToDevice)[half].bytes;
        EXPECT_EQ(report[1], static_cast<uint8_t>(MouseCommand::WriteMacroHalf)) << "half " << half;
        EXPECT_EQ(report[2], half);
    }
    EXPECT_GE(requestGapMs(wire, 0, 1), 100.0);
    // Button 1 of mode 0 gets slot 1.
    EXPECT_EQ(requests[48], "07 FE 02 02");
    EXPECT_EQ(requests[49], "07 F7");

    const FirmwareState state = harness.mouse().firmwareState();
    EXPECT_EQ(state.macroSlots[1], encodeMacro(group, MacroKeyMode::TranslateToUsage));
    EXPECT_EQ(state.buttons[0][1].boundSlotPlusOne, 2);
    EXPECT_NE(harness.page().statusBytes.data()[1], 0) << "the status read shows button 1 assigned";
}

TEST_F(KernelLogic, AFactoryResetDropsTheMouseOffAndReadsItAgainWhenItComesBack)
{
    harness.mouse().setRestartTiming(100ms, 300ms);
    ConnectionRecorder connection;
    harness.page().connectionState.bind(&connection, &ConnectionRecorder::onChange, false);
    const std::size_t noticesBefore = harness.ui().notices().size();

    harness.page().factoryRestore.setCurrentValue(1, 0, false, true);
    // Removal and arrival of both interfaces.
    ASSERT_TRUE(harness.ui().waitForNotices(noticesBefore + 4, 5s));
    ASSERT_TRUE(harness.waitForConnectionState(1));

    EXPECT_EQ(connection.values(), (std::vector<int>{0, 1}));
    const std::vector<std::string> requests = hostRequests(harness.wire());
    ASSERT_GE(requests.size(), 1 + kConnectRead.size());
    EXPECT_EQ(requests.front(), "07 F8");
    const auto readAgain = requests.end() - static_cast<std::ptrdiff_t>(kConnectRead.size());
    EXPECT_EQ(std::vector<std::string>(readAgain, requests.end()), kConnectRead);
    EXPECT_EQ(harness.mouse().firmwareState(), factoryFirmwareState(kMouseIdentity.firmwareVersion));
}

TEST(KernelLogicUnplug, InTheMiddleOfTheMacroTableReadEndsDisconnectedAndReconnectsOnReplug)
{
    GuestHarness harness(MouseBus::uhid);
    ASSERT_TRUE(harness.ready());
    // GetVersion and GetMode with their replies, the table request, then 15 of its 48 replies.
    constexpr std::uint64_t kUnplugTransfer = 20;
    harness.mouse().resetTransferCount();
    harness.mouse().unplugAtTransfer(kUnplugTransfer);

    const auto start = Clock::now();
    harness.startUp();
    ASSERT_TRUE(harness.waitForConnectionState(0));
    const double disconnectedMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();

    const std::vector<WireRecord> wire = harness.wire();
    const std::vector<std::string> requests = hostRequests(wire);
    ASSERT_EQ(requests.size(), 3u) << "nothing reaches a mouse that is gone";
    EXPECT_EQ(requests[2], "07 F6");
    EXPECT_LT(recordsFrom(wire, WireDirection::DeviceToHost).size(), 2 + kMacroTableReplies);
    // The table read waiting for its next reply ends with the device; waiting
    // out its time-out would take 3 s.
    EXPECT_LT(disconnectedMs, 2500.0);

    harness.clearWire();
    harness.mouse().plug();
    ASSERT_TRUE(harness.waitForConnectionState(1));
    EXPECT_EQ(hostRequests(harness.wire()), kConnectRead);
    EXPECT_EQ(recordsFrom(harness.wire(), WireDirection::DeviceToHost).size(), 2 + kMacroTableReplies + 3);
}

}  // namespace
}  // namespace guest
