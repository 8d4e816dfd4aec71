// HidDevice, the enumeration and the notice source running against the
// simulated mouse through the very same descriptor I/O as against hidraw.

#include "hid/HidDevice.h"
#include "hid/HidDiscovery.h"
#include "sim/SimulatedHidBackend.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <poll.h>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr SimulatedMouseIdentity kMouse{
    .vendorId = 0x1A2B, .productId = 0x3C4D, .interfaceNumber = 1, .releaseNumber = 0x0210, .firmwareVersion = 0x0123};

class HidDeviceOnSimulatedMouse : public ::testing::Test {
protected:
    void SetUp() override { setHidBackend(&backend); }
    void TearDown() override { setHidBackend(nullptr); }

    int exchange(const MouseReport& request, MouseReport& reply)
    {
        if (device.writeReport(request) != HidDevice::kTransferSize)
            return 0;
        return device.readReport(reply);
    }

    SimulatedHidBackend backend;
    SimulatedMouse& mouse = backend.addMouse(kMouse);
    HidDevice device;
};

TEST_F(HidDeviceOnSimulatedMouse, OpensByIdsWritesGetVersionAndReadsTheReply)
{
    ASSERT_EQ(device.openDeviceById(0x1A2B, 0x3C4D, 1, -1), 1);
    EXPECT_EQ(device.capabilities().inputReportByteLength, 65);

    const MouseReport request = makeGetVersionRequest();
    EXPECT_EQ(device.writeReport(request), 65);
    MouseReport reply{};
    EXPECT_EQ(device.readReport(reply), 65);
    EXPECT_EQ(decodeVersionReply(reply), 0x0123);

    const std::vector<WireRecord> records = mouse.wireLog().records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].direction, WireDirection::HostToDevice);
    EXPECT_EQ(records[0].bytes, request);
    EXPECT_EQ(records[1].direction, WireDirection::DeviceToHost);
    EXPECT_EQ(records[1].bytes, reply);
}

TEST_F(HidDeviceOnSimulatedMouse, EnumerationListsTheMouseWithItsDetails)
{
    const int32_t product = 0x3C4D;
    HidInterfaceInfo* list = enumerateHidInterfaces(0x1A2B, 1, &product, 1, -1);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->next, nullptr);
    freeHidInterfaceList(list);

    HidAttributes attributes;
    HidCaps caps;
    EXPECT_EQ(queryHidPath(backend.pathOf(mouse).c_str(), &attributes, &caps), 1);
    EXPECT_EQ(attributes.versionNumber, 0x0210);
    EXPECT_EQ(caps.usagePage, SimulatedHidBackend::kUsagePage);
}

struct OpenCase {
    const char* name;
    int32_t vendorId;
    int32_t productId;
    int32_t interfaceNumber;
    int32_t collectionNumber;
    int opened;
};

void PrintTo(const OpenCase& c, std::ostream* os)
{
    *os << c.name;
}

class OpenSimulatedMouse : public HidDeviceOnSimulatedMouse, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenSimulatedMouse, MatchesTheConfiguredIds)
{
    const OpenCase& c = GetParam();
    EXPECT_EQ(device.openDeviceById(c.vendorId, c.productId, c.interfaceNumber, c.collectionNumber), c.opened);
}

INSTANTIATE_TEST_SUITE_P(HidDevice, OpenSimulatedMouse,
                         ::testing::Values(OpenCase{"Exact", 0x1A2B, 0x3C4D, 1, -1, 1},
                                           OpenCase{"AnyProduct", 0x1A2B, 0, -1, -1, 1},
                                           OpenCase{"OtherVendor", 0x1A2C, 0x3C4D, 1, -1, 0},
                                           OpenCase{"OtherProduct", 0x1A2B, 0x3C4E, 1, -1, 0},
                                           OpenCase{"OtherInterface", 0x1A2B, 0x3C4D, 0, -1, 0},
                                           OpenCase{"CollectionTheMouseDoesNotList", 0x1A2B, 0x3C4D, 1, 2, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HidDeviceOnSimulatedMouse, AnUnpluggedMouseDoesNotOpen)
{
    mouse.unplug();
    EXPECT_EQ(device.openDeviceById(0x1A2B, 0x3C4D, 1, -1), 0);
    MouseReport reply{};
    EXPECT_EQ(device.writeReport(makeGetVersionRequest()), 0);
    EXPECT_EQ(device.readReport(reply), 0);
}

// The reads of a full connect: version, mode, the 48 macro-table reports,
// DPI, light and status.
TEST_F(HidDeviceOnSimulatedMouse, CarriesTheWholeConnectRead)
{
    ASSERT_EQ(device.openDeviceById(0x1A2B, 0x3C4D, 1, -1), 1);
    MouseReport reply{};
    ASSERT_EQ(exchange(makeGetVersionRequest(), reply), 65);
    ASSERT_EQ(exchange(makeGetModeRequest(), reply), 65);
    EXPECT_EQ(decodeModeReply(reply), 0);
    ASSERT_EQ(device.writeReport(makeReadMacroTableRequest()), 65);
    for (int i = 0; i < kMacroTableReplyCount; ++i)
        ASSERT_EQ(device.readReport(reply), 65) << "macro table reply " << i;
    ASSERT_EQ(exchange(makeGetDpiRequest(), reply), 65);
    ASSERT_EQ(exchange(makeGetLightRequest(), reply), 65);
    EXPECT_EQ(decodeLightReply(reply).effect, LightDat{});
    ASSERT_EQ(exchange(makeGetStatusRequest(), reply), 65);
    EXPECT_EQ(mouse.wireLog().records().size(), 6u + 53u);
}

TEST_F(HidDeviceOnSimulatedMouse, ASilentMouseTimesTheReadOut)
{
    mouse.setSilent(true);
    ASSERT_EQ(device.openDeviceById(0x1A2B, 0x3C4D, 1, -1), 1);
    ASSERT_EQ(device.writeReport(makeGetVersionRequest()), 65);
    std::array<uint8_t, HidDevice::kTransferSize> transfer{};
    const auto start = Clock::now();
    EXPECT_EQ(device.read(transfer.data(), transfer.size(), 100), 0);
    EXPECT_GE(Clock::now() - start, 100ms);
}

TEST_F(HidDeviceOnSimulatedMouse, UnpluggingEndsAReadInFlightAtOnce)
{
    mouse.setSilent(true);
    ASSERT_EQ(device.openDeviceById(0x1A2B, 0x3C4D, 1, -1), 1);
    auto pendingRead = std::async(std::launch::async, [this] {
        MouseReport reply{};
        const auto start = Clock::now();
        const int result = device.readReport(reply);
        return std::make_pair(result, Clock::now() - start);
    });
    std::this_thread::sleep_for(50ms);
    mouse.unplug();
    const auto [result, took] = pendingRead.get();
    EXPECT_EQ(result, 0);
    EXPECT_LT(took, 1000ms) << "not the 3000 ms time-out";
    EXPECT_EQ(device.writeReport(makeGetVersionRequest()), 0);
}

TEST_F(HidDeviceOnSimulatedMouse, ReopensAfterTheFactoryResetRestart)
{
    mouse.setRestartTiming(10ms, 30ms);
    const std::unique_ptr<HidNoticeSource> notices = registerHidNotifications();
    ASSERT_NE(notices, nullptr);
    ASSERT_EQ(device.openDeviceById(0x1A2B, 0x3C4D, 1, -1), 1);
    ASSERT_EQ(device.writeReport(makeFactoryResetRequest()), 65);

    std::vector<HidNotice> seen;
    const auto deadline = Clock::now() + 2s;
    while (seen.size() < 2 && Clock::now() < deadline) {
        pollfd waiter{notices->fd(), POLLIN, 0};
        if (::poll(&waiter, 1, 100) == 1)
            while (auto notice = notices->nextNotice())
                seen.push_back(*notice);
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_FALSE(seen[0].arrived);
    EXPECT_TRUE(seen[1].arrived);
    EXPECT_EQ(seen[1].path, backend.pathOf(mouse));

    device.close();
    ASSERT_EQ(device.openDeviceById(0x1A2B, 0x3C4D, 1, -1), 1);
    MouseReport reply{};
    ASSERT_EQ(exchange(makeGetVersionRequest(), reply), 65);
    EXPECT_EQ(decodeVersionReply(reply), 0x0123);
}

} // namespace
