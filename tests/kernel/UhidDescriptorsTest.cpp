// The report descriptors the kernel is given: what the HID layer reads out of
// them, and that they are the ones the sysfs fixtures of the mouse carry.

#include "hid/ReportDescriptor.h"
#include "sim/UhidDescriptors.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr const char* kMouseUsbDevice = "sysfs/desktop/devices/pci0000:00/0000:00:14.0/usb1/1-2";

std::vector<std::uint8_t> fixtureDescriptor(const std::string& interfaceDirectory)
{
    const std::filesystem::path interface =
        std::filesystem::path(MOUSECFG_FIXTURES_DIR) / kMouseUsbDevice / interfaceDirectory;
    for (const auto& entry : std::filesystem::directory_iterator(interface)) {
        const auto file = entry.path() / "report_descriptor";
        if (std::filesystem::exists(file)) {
            std::ifstream in(file, std::ios::binary);
            return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        }
    }
    return {};
}

struct DescriptorCase {
    const char* name;
    std::span<const std::uint8_t> (*descriptor)();
    const char* fixtureInterface;
    HidTopLevelCollection expected;
};

class UhidDescriptor : public ::testing::TestWithParam<DescriptorCase> {};

TEST_P(UhidDescriptor, HasOneTopLevelCollectionWithTheMousesReportLengths)
{
    const HidReportDescriptorInfo info = parseReportDescriptor(GetParam().descriptor());
    EXPECT_FALSE(info.reportIdsUsed);
    ASSERT_EQ(info.collections.size(), 1u);
    const HidTopLevelCollection& collection = info.collections[0];
    const HidTopLevelCollection& expected = GetParam().expected;
    EXPECT_EQ(collection.usagePage, expected.usagePage);
    EXPECT_EQ(collection.usage, expected.usage);
    EXPECT_EQ(collection.inputReportByteLength, expected.inputReportByteLength);
    EXPECT_EQ(collection.outputReportByteLength, expected.outputReportByteLength);
    EXPECT_EQ(collection.featureReportByteLength, expected.featureReportByteLength);
}

TEST_P(UhidDescriptor, IsTheOneTheMousesSysfsFixtureCarries)
{
    const std::span<const std::uint8_t> descriptor = GetParam().descriptor();
    EXPECT_EQ(std::vector<std::uint8_t>(descriptor.begin(), descriptor.end()),
              fixtureDescriptor(GetParam().fixtureInterface));
}

// Lengths count the report-ID byte: 64 bytes of report give 65.
INSTANTIATE_TEST_SUITE_P(Interfaces, UhidDescriptor,
                         ::testing::Values(DescriptorCase{"Pointer", pointerInterfaceDescriptor, "1-2:1.0",
                                                          HidTopLevelCollection{0x0001, 0x0002, 5, 0, 0}},
                                           DescriptorCase{"Vendor", vendorInterfaceDescriptor, "1-2:1.1",
                                                          HidTopLevelCollection{0xFF00, 0x0001, 65, 65, 0}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
