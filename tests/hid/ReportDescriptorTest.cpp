#include "hid/ReportDescriptor.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Boot-protocol mouse: five buttons, three padding bits, X, Y and wheel.
const Bytes kMouse = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01,        // Usage Page (Generic Desktop), Usage (Mouse), Collection (Application)
    0x09, 0x01, 0xA1, 0x00,                    //   Usage (Pointer), Collection (Physical)
    0x05, 0x09, 0x19, 0x01, 0x29, 0x05,        //     Usage Page (Button), Usage Minimum (1), Usage Maximum (5)
    0x15, 0x00, 0x25, 0x01,                    //     Logical Minimum (0), Logical Maximum (1)
    0x95, 0x05, 0x75, 0x01, 0x81, 0x02,        //     Report Count (5), Report Size (1), Input (Data,Var,Abs)
    0x95, 0x01, 0x75, 0x03, 0x81, 0x01,        //     Report Count (1), Report Size (3), Input (Const)
    0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x09, 0x38,  // Usage Page (Generic Desktop), X, Y, Wheel
    0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x03, 0x81, 0x06,  // -127..127, 3 x 8 bits, Input (Data,Var,Rel)
    0xC0, 0xC0,                                //   End Collection, End Collection
};

// Vendor-defined page 0xFF00 with 64-byte input and output reports, no report ids.
const Bytes kVendor64 = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,  // Usage Page (0xFF00), Usage (1), Collection (Application)
    0x09, 0x02, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40, 0x81, 0x02,  // 64 x 8 bits Input
    0x09, 0x03, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40, 0x91, 0x02,  // 64 x 8 bits Output
    0xC0,
};

// Boot keyboard: modifiers, reserved byte, five LEDs + padding, six key slots.
const Bytes kKeyboard = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,
    0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02,
    0x95, 0x01, 0x75, 0x08, 0x81, 0x01,
    0x95, 0x05, 0x75, 0x01, 0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02,
    0x95, 0x01, 0x75, 0x03, 0x91, 0x01,
    0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00,
    0xC0,
};

// Two top-level collections with report ids: Consumer Control (id 1, one
// 16-bit usage) and System Control (id 2, three bits + five padding bits).
const Bytes kConsumerAndSystem = {
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01,
    0x15, 0x00, 0x26, 0xFF, 0x03, 0x19, 0x00, 0x2A, 0xFF, 0x03, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00,
    0xC0,
    0x05, 0x01, 0x09, 0x80, 0xA1, 0x01, 0x85, 0x02,
    0x19, 0x81, 0x29, 0x83, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x03, 0x81, 0x02,
    0x95, 0x05, 0x81, 0x01,
    0xC0,
};

// One collection, two input reports of different lengths (ids 1 and 2): the
// longer one sets the length. Feature report id 3 of one byte.
const Bytes kTwoInputReports = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,
    0x85, 0x01, 0x75, 0x08, 0x95, 0x03, 0x81, 0x02,  // id 1: 3 bytes
    0x85, 0x02, 0x95, 0x10, 0x81, 0x02,              // id 2: 16 bytes
    0x85, 0x03, 0x95, 0x01, 0xB1, 0x02,              // id 3 feature: 1 byte
    0xC0,
};

// Push saves Report Size 8; the 1-bit size set between is undone by Pop:
// 2 x 1 bit + 2 x 8 bits = 18 bits, three bytes.
const Bytes kPushPop = {
    0x05, 0x01, 0x09, 0x05, 0xA1, 0x01,
    0x75, 0x08, 0x95, 0x02, 0xA4,  // Report Size 8, Count 2, Push
    0x75, 0x01, 0x81, 0x02,        // 2 x 1 bit
    0xB4, 0x81, 0x02,              // Pop, 2 x 8 bits
    0xC0,
};

// A four-byte usage carries its own page: 0x000D0004 is Digitizer / Touch Screen.
const Bytes kExtendedUsage = {
    0x05, 0x01, 0x0B, 0x04, 0x00, 0x0D, 0x00, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0xC0,
};

// A long item (0xFE, two data bytes) is skipped.
const Bytes kLongItem = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x75, 0x08, 0x95, 0x04, 0x81, 0x02, 0xC0,
};

// Main items outside a collection and a stray End Collection count for nothing.
const Bytes kOutsideItems = {
    0x75, 0x08, 0x95, 0x10, 0x81, 0x02, 0xC0,
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x95, 0x02, 0x81, 0x02, 0xC0,
};

// Truncated in the middle of Report Count's data: what came before stands.
const Bytes kTruncated = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x75, 0x08, 0x96, 0x40};

// Report Size and Count at their 32-bit maximum: the length saturates.
const Bytes kHugeReport = {
    0x05, 0x01, 0x09, 0x00, 0xA1, 0x01,
    0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02, 0x81, 0x02,
    0xC0,
};

struct DescriptorCase {
    const char* name;
    Bytes descriptor;
    bool reportIdsUsed;
    std::vector<HidTopLevelCollection> collections;
};

const DescriptorCase kDescriptorCases[] = {
    {"BootMouse", kMouse, false, {{0x01, 0x02, 5, 0, 0}}},
    {"VendorDefined64ByteReportsCountTheIdByte", kVendor64, false, {{0xFF00, 0x01, 65, 65, 0}}},
    {"BootKeyboard", kKeyboard, false, {{0x01, 0x06, 9, 2, 0}}},
    {"TwoTopLevelCollections", kConsumerAndSystem, true, {{0x0C, 0x01, 3, 0, 0}, {0x01, 0x80, 2, 0, 0}}},
    {"LongestReportOfACollection", kTwoInputReports, true, {{0xFF00, 0x01, 17, 0, 2}}},
    {"PushAndPop", kPushPop, false, {{0x01, 0x05, 4, 0, 0}}},
    {"ExtendedUsageCarriesItsPage", kExtendedUsage, false, {{0x0D, 0x04, 2, 0, 0}}},
    {"LongItemSkipped", kLongItem, false, {{0x01, 0x02, 5, 0, 0}}},
    {"ItemsOutsideCollectionsIgnored", kOutsideItems, false, {{0x01, 0x02, 3, 0, 0}}},
    {"TruncatedItemEndsParsing", kTruncated, false, {{0x01, 0x02, 0, 0, 0}}},
    {"HugeReportSaturates", kHugeReport, false, {{0x01, 0x00, 0xFFFF, 0, 0}}},
    {"Empty", {}, false, {}},
};

class ReportDescriptorParsing : public testing::TestWithParam<DescriptorCase> {};

TEST_P(ReportDescriptorParsing, FindsCollectionsAndReportLengths)
{
    const DescriptorCase& c = GetParam();
    const HidReportDescriptorInfo info = parseReportDescriptor(c.descriptor);
    EXPECT_EQ(info.reportIdsUsed, c.reportIdsUsed);
    ASSERT_EQ(info.collections.size(), c.collections.size());
    for (size_t i = 0; i < c.collections.size(); ++i) {
        SCOPED_TRACE("collection " + std::to_string(i + 1));
        EXPECT_EQ(info.collections[i].usagePage, c.collections[i].usagePage);
        EXPECT_EQ(info.collections[i].usage, c.collections[i].usage);
        EXPECT_EQ(info.collections[i].inputReportByteLength, c.collections[i].inputReportByteLength);
        EXPECT_EQ(info.collections[i].outputReportByteLength, c.collections[i].outputReportByteLength);
        EXPECT_EQ(info.collections[i].featureReportByteLength, c.collections[i].featureReportByteLength);
    }
}

INSTANTIATE_TEST_SUITE_P(Descriptors, ReportDescriptorParsing, testing::ValuesIn(kDescriptorCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReportDescriptorRobustness, EveryPrefixOfARealDescriptorParses)
{
    // Cutting a descriptor anywhere must neither read past the end nor find
    // more collections than the whole has.
    for (size_t length = 0; length <= kConsumerAndSystem.size(); ++length) {
        const Bytes prefix(kConsumerAndSystem.begin(), kConsumerAndSystem.begin() + length);
        EXPECT_LE(parseReportDescriptor(prefix).collections.size(), 2u) << "length " << length;
    }
}

TEST(ReportDescriptorRobustness, RandomBytesParse)
{
    std::mt19937 generator(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<size_t> length(0, 512);
    for (int round = 0; round < 2000; ++round) {
        Bytes bytes(length(generator));
        for (auto& b : bytes)
            b = static_cast<uint8_t>(byte(generator));
        const HidReportDescriptorInfo info = parseReportDescriptor(bytes);
        // Each top-level collection needs at least its one-byte Collection item.
        EXPECT_LE(info.collections.size(), bytes.size());
    }
}

TEST(ReportDescriptorRobustness, DeepPushesAndPopsAreBounded)
{
    Bytes bytes = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x01};
    bytes.insert(bytes.end(), 10000, 0xA4);  // Push
    bytes.insert(bytes.end(), 20000, 0xB4);  // Pop, more than were pushed
    bytes.insert(bytes.end(), {0x81, 0x02, 0xC0});
    const HidReportDescriptorInfo info = parseReportDescriptor(bytes);
    ASSERT_EQ(info.collections.size(), 1u);
    EXPECT_EQ(info.collections[0].inputReportByteLength, 2);
}

}  // namespace
