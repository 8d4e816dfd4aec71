// The HID transport on the kernel's own hidraw driver, with the simulated
// mouse made through uhid: enumeration from the real sysfs, transfers through
// real hidraw nodes, notices from kernel uevents, and what an open descriptor
// does once the device is gone.

#include "GuestHarness.h"

#include "hid/HidDevice.h"
#include "hid/HidDiscovery.h"
#include "hid/HidPath.h"
#include "hid/HidPathParser.h"
#include "mouse/MouseReport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace guest {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kVendor = kMouseIdentity.vendorId;
constexpr int32_t kProduct = kMouseIdentity.productId;

int interfaceOf(const std::wstring& path)
{
    int32_t vendor = 0, product = 0, interfaceNumber = -1, collection = -1;
    return parseHidDevicePath(path.c_str(), vendor, product, interfaceNumber, collection) ? interfaceNumber : -2;
}

int nodeNumberOf(const std::wstring& path)
{
    const std::string node = hidPathNode(path);
    return std::stoi(node.substr(node.find_first_of("0123456789")));
}

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

MouseReport request(MouseCommand command)
{
    MouseReport report{};
    report[0] = kMouseReportTag;
    report[1] = static_cast<uint8_t>(command);
    return report;
}

class KernelMouseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mouse.ready());
        ASSERT_TRUE(waitForListedCount(kVendor, kProduct, 2)) << "the kernel did not list both interfaces";
    }

    KernelMouse mouse;
};

struct FilterCase {
    const char* name;
    int32_t vendorId;
    std::vector<int32_t> productIds;
    int32_t interfaceNumber;
    int32_t collectionNumber;
    std::vector<int> expectedInterfaces;  // in enumeration order: by hidraw node number
};

class KernelEnumeration : public KernelMouseTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(KernelEnumeration, ListsTheInterfacesThatPassTheFilters)
{
    const FilterCase& row = GetParam();
    HidInterfaceInfo* list =
        enumerateHidInterfaces(row.vendorId, static_cast<int32_t>(row.productIds.size()), row.productIds.data(),
                               row.interfaceNumber, row.collectionNumber);
    std::vector<std::wstring> paths;
    for (const HidInterfaceInfo* info = list; info != nullptr; info = info->next)
        paths.push_back(info->devicePath);
    freeHidInterfaceList(list);

    std::vector<int> interfaces;
    for (const std::wstring& path : paths)
        interfaces.push_back(interfaceOf(path));
    std::vector<int> expected = row.expectedInterfaces;
    if (expected.size() > 1) {
        // Enumeration order is node order; which interface got the lower node is the kernel's choice.
        EXPECT_TRUE(std::is_sorted(paths.begin(), paths.end(), [](const auto& a, const auto& b) {
            return nodeNumberOf(a) < nodeNumberOf(b);
        }));
        std::sort(interfaces.begin(), interfaces.end());
    }
    EXPECT_EQ(interfaces, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, KernelEnumeration,
    ::testing::Values(FilterCase{"ConfiguredIdsAndInterface", kVendor, {kProduct}, 1, -1, {1}},
                      FilterCase{"PointerInterface", kVendor, {kProduct}, 0, -1, {0}},
                      FilterCase{"AnyInterfaceOfTheVendor", kVendor, {}, -1, -1, {0, 1}},
                      FilterCase{"TheProductOfAnyVendor", 0, {kProduct}, -1, -1, {0, 1}},
                      FilterCase{"AnotherProduct", kVendor, {kProduct + 1}, -1, -1, {}},
                      FilterCase{"AnotherVendor", kVendor + 1, {kProduct}, -1, -1, {}},
                      // A single collection gives no "&col": the parsed number is -1.
                      FilterCase{"ACollectionNumber", kVendor, {kProduct}, 1, 1, {}},
                      FilterCase{"AMissingInterface", kVendor, {kProduct}, 2, -1, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KernelMouseTest, TheVendorInterfaceShowsTheMousesCapabilitiesOnARealNode)
{
    const int32_t product = kProduct;
    HidInterfaceInfo* list = enumerateHidInterfaces(kVendor, 1, &product, 1, -1);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->next, nullptr);
    EXPECT_EQ(list->usagePage, 0xFF00);
    EXPECT_EQ(list->usage, 0x0001);
    // Off USB there is no bcdDevice to read.
    EXPECT_EQ(list->releaseNumber, 0);
    const std::wstring path = list->devicePath;
    freeHidInterfaceList(list);

    EXPECT_EQ(path.rfind(L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_01#/dev/hidraw", 0), 0u)
        << std::string(path.begin(), path.end());
    struct stat status {};
    ASSERT_EQ(::stat(hidPathNode(path).c_str(), &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));

    HidAttributes attributes;
    HidCaps caps;
    ASSERT_EQ(queryHidPath(path.c_str(), &attributes, &caps), 1);
    EXPECT_EQ(attributes.vendorId, kVendor);
    EXPECT_EQ(attributes.productId, kProduct);
    EXPECT_EQ(caps.inputReportByteLength, HidDevice::kTransferSize);
    EXPECT_EQ(caps.outputReportByteLength, HidDevice::kTransferSize);
    EXPECT_EQ(caps.featureReportByteLength, 0);
}

TEST_F(KernelMouseTest, AReportGoesOutAndTheReplyComesBackThroughHidraw)
{
    HidDevice device;
    ASSERT_EQ(device.openDeviceById(kVendor, kProduct, 1, -1), 1);

    const MouseReport getVersion = request(MouseCommand::GetVersion);
    EXPECT_EQ(device.writeReport(getVersion), static_cast<int>(HidDevice::kTransferSize));
    MouseReport reply{};
    ASSERT_EQ(device.readReport(reply), static_cast<int>(HidDevice::kTransferSize));
    EXPECT_EQ(reply[0], kMouseIdentity.firmwareVersion >> 8);
    EXPECT_EQ(reply[1], kMouseIdentity.firmwareVersion & 0xFF);

    // The firmware saw the report without the report-ID byte hidraw was given.
    const std::vector<WireRecord> wire = mouse->wireLog().records();
    ASSERT_EQ(wire.size(), 2u);
    EXPECT_EQ(wire[0].direction, WireDirection::HostToDevice);
    EXPECT_EQ(wire[0].bytes, getVersion);
    EXPECT_EQ(wire[1].direction, WireDirection::DeviceToHost);
    EXPECT_EQ(wire[1].bytes, reply);
}

TEST_F(KernelMouseTest, AFeatureRequestIsRefusedWithoutTheKernelsWait)
{
    HidDevice device;
    ASSERT_EQ(device.openDeviceById(kVendor, kProduct, 1, -1), 1);
    uint8_t buffer[HidDevice::kTransferSize] = {};

    const auto start = Clock::now();
    EXPECT_EQ(device.getFeature(buffer, sizeof buffer), 0);
    EXPECT_EQ(device.setFeature(buffer, sizeof buffer), 0);
    EXPECT_LT(millisecondsSince(start), 1000.0);
}

// uhid holds at most 31 output reports for the firmware side and drops the
// rest, while a hidraw write never waits: the firmware must keep up.
TEST_F(KernelMouseTest, ABurstOfOutputReportsReachesTheFirmwareWhole)
{
    constexpr std::size_t kBurst = 200;
    HidDevice device;
    ASSERT_EQ(device.openDeviceById(kVendor, kProduct, 1, -1), 1);
    std::vector<uint8_t> modes;
    for (std::size_t i = 0; i < kBurst; ++i) {
        MouseReport setMode = request(MouseCommand::SetMode);
        setMode[2] = static_cast<uint8_t>(1 + i % 3);
        modes.push_back(setMode[2]);
        ASSERT_EQ(device.writeReport(setMode), static_cast<int>(HidDevice::kTransferSize));
    }

    const auto deadline = Clock::now() + 2s;
    while (mouse->wireLog().records().size() < kBurst && Clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    const std::vector<WireRecord> wire = mouse->wireLog().records();
    std::vector<uint8_t> received;
    for (const WireRecord& record : wire)
        received.push_back(record.bytes[2]);
    EXPECT_EQ(received, modes);
}

struct GoneCase {
    const char* name;
    bool read;
};

class KernelMouseGone : public KernelMouseTest, public ::testing::WithParamInterface<GoneCase> {};

// A removed device fails its descriptor at once (hang-up, ENODEV, EIO): a
// transfer must give up then rather than wait out its time-out.
TEST_P(KernelMouseGone, ATransferOnTheOpenDescriptorFailsAtOnce)
{
    HidDevice device;
    ASSERT_EQ(device.openDeviceById(kVendor, kProduct, 1, -1), 1);
    mouse->unplug();
    ASSERT_TRUE(waitForListedCount(kVendor, kProduct, 0));

    MouseReport report = request(MouseCommand::GetStatus);
    const auto start = Clock::now();
    EXPECT_EQ(GetParam().read ? device.readReport(report) : device.writeReport(report), 0);
    // Well below the transfer time-out, with room for a slow emulated machine.
    EXPECT_LT(millisecondsSince(start), 1500.0);
}

INSTANTIATE_TEST_SUITE_P(Transfers, KernelMouseGone,
                         ::testing::Values(GoneCase{"Read", true}, GoneCase{"Write", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(KernelMouseTest, AReadWaitingWhenTheDeviceGoesEndsAtOnce)
{
    HidDevice device;
    ASSERT_EQ(device.openDeviceById(kVendor, kProduct, 1, -1), 1);
    mouse->setSilent(true);
    ASSERT_EQ(device.writeReport(request(MouseCommand::GetStatus)), static_cast<int>(HidDevice::kTransferSize));

    std::thread unplugger([this] {
        std::this_thread::sleep_for(200ms);
        mouse->unplug();
    });
    MouseReport reply{};
    const auto start = Clock::now();
    EXPECT_EQ(device.readReport(reply), 0);
    unplugger.join();
    EXPECT_LT(millisecondsSince(start), 2000.0);
}

// Notices come from the kernel's uevents; no udev daemon runs in the guest.
TEST(KernelNotices, PluggingAndUnpluggingGiveOneNoticePerInterfaceWithTheListedPaths)
{
    UiThread ui(registerHidNotifications(), [](const HidNotice&) {});
    KernelMouse mouse;
    ASSERT_TRUE(mouse.ready());
    ASSERT_TRUE(ui.waitForNotices(2, 5s));
    ASSERT_TRUE(waitForListedCount(kVendor, kProduct, 2));
    std::vector<std::wstring> listed = listedPaths(kVendor, kProduct);

    mouse->unplug();
    ASSERT_TRUE(ui.waitForNotices(4, 5s));
    std::this_thread::sleep_for(100ms);
    const std::vector<HidNotice> notices = ui.notices();
    ASSERT_EQ(notices.size(), 4u);

    std::vector<std::wstring> arrived, removed;
    for (const HidNotice& notice : notices)
        (notice.arrived ? arrived : removed).push_back(notice.path);
    ASSERT_EQ(arrived.size(), 2u);
    EXPECT_TRUE(notices[0].arrived && notices[1].arrived) << "arrivals come before the removals";
    std::sort(listed.begin(), listed.end());
    std::sort(arrived.begin(), arrived.end());
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(arrived, listed);
    EXPECT_EQ(removed, listed);
}

TEST(KernelNotices, AReplugListsTheMouseAgain)
{
    KernelMouse mouse;
    ASSERT_TRUE(mouse.ready());
    ASSERT_TRUE(waitForListedCount(kVendor, kProduct, 2));
    UiThread ui(registerHidNotifications(), [](const HidNotice&) {});

    mouse->unplug();
    mouse->plug();
    ASSERT_TRUE(ui.waitForNotices(4, 5s));
    ASSERT_TRUE(waitForListedCount(kVendor, kProduct, 2));
    const std::vector<HidNotice> notices = ui.notices();
    // Removals of what was present (learned at start), then the new arrivals.
    EXPECT_FALSE(notices[0].arrived);
    EXPECT_FALSE(notices[1].arrived);
    EXPECT_TRUE(notices[2].arrived);
    EXPECT_TRUE(notices[3].arrived);
    for (const HidNotice& notice : notices)
        EXPECT_NE(interfaceOf(notice.path), -1) << "every notice names its interface";

    HidDevice device;
    EXPECT_EQ(device.openDeviceById(kVendor, kProduct, 1, -1), 1);
}

}  // namespace
}  // namespace guest
