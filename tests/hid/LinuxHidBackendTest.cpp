#include "FixturePaths.h"

#include "hid/linux/LinuxHidBackend.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

TEST(LinuxHidBackendListing, EveryCollectionInNodeOrder)
{
    LinuxHidBackend backend(sysfsFixture("desktop"));
    const std::vector<std::wstring> expected = {
        kMousePointerPath,     kMouseVendorPath, kKeyboardBootPath, kKeyboardConsumerPath,
        kKeyboardSystemPath,   kTouchpadPath,    kGamepadPath,
    };
    EXPECT_EQ(backend.listInterfacePaths(), expected);
}

TEST(LinuxHidBackendListing, DeviceWithoutUsbInterfaceTakesItsNumberFromPhys)
{
    LinuxHidBackend backend(sysfsFixture("uhid"));
    EXPECT_EQ(backend.listInterfacePaths(), std::vector<std::wstring>{kUhidPath});
}

TEST(LinuxHidBackendListing, MissingTreeListsNothing)
{
    LinuxHidBackend backend(sysfsFixture("no-such-tree"));
    EXPECT_TRUE(backend.listInterfacePaths().empty());
}

struct QueryCase {
    const char* name;
    const char* tree;
    const wchar_t* path;
    std::optional<HidInterfaceDetails> details;
};

HidInterfaceDetails details(uint16_t vendor, uint16_t product, uint16_t release, uint16_t usagePage,
                            uint16_t usage, uint16_t input, uint16_t output, uint16_t feature, bool reportIds)
{
    return HidInterfaceDetails{{vendor, product, release}, {usage, usagePage, input, output, feature}, reportIds};
}

const QueryCase kQueryCases[] = {
    {"MousePointer", "desktop", kMousePointerPath, details(0x1a2b, 0x3c4d, 0x0105, 0x01, 0x02, 5, 0, 0, false)},
    {"MouseVendor64ByteReports", "desktop", kMouseVendorPath,
     details(0x1a2b, 0x3c4d, 0x0105, 0xFF00, 0x01, 65, 65, 0, false)},
    {"KeyboardBoot", "desktop", kKeyboardBootPath, details(0x3f41, 0x2106, 0x0210, 0x01, 0x06, 9, 2, 0, false)},
    {"KeyboardConsumerCollection", "desktop", kKeyboardConsumerPath,
     details(0x3f41, 0x2106, 0x0210, 0x0C, 0x01, 3, 0, 0, true)},
    {"KeyboardSystemCollection", "desktop", kKeyboardSystemPath,
     details(0x3f41, 0x2106, 0x0210, 0x01, 0x80, 2, 0, 0, true)},
    {"TouchpadOffUsbHasNoRelease", "desktop", kTouchpadPath, details(0x7a1c, 0x0101, 0, 0x0D, 0x05, 7, 0, 2, true)},
    {"GamepadWithoutDescriptor", "desktop", kGamepadPath, std::nullopt},
    {"CollectionTheNodeLacks", "desktop", L"\\\\?\\hid#vid_3f41&pid_2106&mi_01&col03#/dev/hidraw3", std::nullopt},
    {"PathOfAnotherNode", "desktop", L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_01#/dev/hidraw0", std::nullopt},
    {"NodeNotPresent", "desktop", L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_01#/dev/hidraw9", std::nullopt},
    {"UhidVendorInterface", "uhid", kUhidPath, details(0x1a2b, 0x3c4d, 0, 0xFF00, 0x01, 65, 65, 0, false)},
};

class LinuxHidBackendQuery : public testing::TestWithParam<QueryCase> {};

TEST_P(LinuxHidBackendQuery, ReadsAttributesAndCapabilitiesOfThePath)
{
    const QueryCase& c = GetParam();
    LinuxHidBackend backend(sysfsFixture(c.tree));
    const HidInterfaceQuery query = backend.queryInterface(c.path);
    ASSERT_EQ(query.details.has_value(), c.details.has_value());
    if (!c.details)
        return;
    EXPECT_GE(query.handle, 0);
    const HidInterfaceDetails& got = *query.details;
    const HidInterfaceDetails& want = *c.details;
    EXPECT_EQ(got.attributes.vendorId, want.attributes.vendorId);
    EXPECT_EQ(got.attributes.productId, want.attributes.productId);
    EXPECT_EQ(got.attributes.versionNumber, want.attributes.versionNumber);
    EXPECT_EQ(got.caps.usagePage, want.caps.usagePage);
    EXPECT_EQ(got.caps.usage, want.caps.usage);
    EXPECT_EQ(got.caps.inputReportByteLength, want.caps.inputReportByteLength);
    EXPECT_EQ(got.caps.outputReportByteLength, want.caps.outputReportByteLength);
    EXPECT_EQ(got.caps.featureReportByteLength, want.caps.featureReportByteLength);
    EXPECT_EQ(got.reportIdsUsed, want.reportIdsUsed);
}

INSTANTIATE_TEST_SUITE_P(Paths, LinuxHidBackendQuery, testing::ValuesIn(kQueryCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LinuxHidBackendQueryHandle, UnreadableDescriptorGivesNoHandle)
{
    LinuxHidBackend backend(sysfsFixture("desktop"));
    EXPECT_EQ(backend.queryInterface(kGamepadPath).handle, -1);
}

TEST(LinuxHidBackendOpen, MissingNodeFails)
{
    LinuxHidBackend backend(sysfsFixture("desktop"));
    errno = 0;
    EXPECT_EQ(backend.openNode("/nonexistent/hidraw0", HidNodeAccess::readWrite), -1);
    EXPECT_EQ(errno, ENOENT);
}

TEST(LinuxHidBackendOpen, OpensNonBlockingAndCloseOnExec)
{
    LinuxHidBackend backend(sysfsFixture("desktop"));
    const std::string node = (sysfsFixture("desktop") / "class/hidraw/hidraw0/uevent").string();
    const int fd = backend.openNode(node, HidNodeAccess::read);
    ASSERT_GE(fd, 0);
    EXPECT_NE(fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
    EXPECT_NE(fcntl(fd, F_GETFD) & FD_CLOEXEC, 0);
    ::close(fd);
}

TEST(LinuxHidBackendFeature, FeatureCallsOnANonHidDescriptorFail)
{
    LinuxHidBackend backend(sysfsFixture("desktop"));
    const std::string node = (sysfsFixture("desktop") / "class/hidraw/hidraw0/uevent").string();
    const int fd = backend.openNode(node, HidNodeAccess::read);
    ASSERT_GE(fd, 0);
    uint8_t buffer[65] = {};
    EXPECT_EQ(backend.getFeatureReport(fd, buffer, sizeof buffer), -1);
    EXPECT_EQ(backend.setFeatureReport(fd, buffer, sizeof buffer), -1);
    std::vector<uint8_t> oversized(1 << 15);
    errno = 0;
    EXPECT_EQ(backend.getFeatureReport(fd, oversized.data(), oversized.size()), -1);
    EXPECT_EQ(errno, EINVAL);
    ::close(fd);
}

}  // namespace
