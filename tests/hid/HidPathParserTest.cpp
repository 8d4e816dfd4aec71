#include "hid/HidPath.h"
#include "hid/HidPathParser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int32_t kUntouched = 0x7777;

struct HidPathCase {
    const char* name;
    const wchar_t* path;
    bool parses;
    int32_t vendorId;
    int32_t productId;
    int32_t interfaceNumber;
    int32_t collectionNumber;
};

const HidPathCase kHidPathCases[] = {
    {"InterfaceAndCollection", L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_01&col02#/dev/hidraw3", true, 0x1a2b, 0x3c4d, 1, 2},
    {"NoCollection", L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_01#/dev/hidraw3", true, 0x1a2b, 0x3c4d, 1, -1},
    {"NoInterfaceNoCollection", L"\\\\?\\hid#vid_1a2b&pid_3c4d#/dev/hidraw3", true, 0x1a2b, 0x3c4d, -1, -1},
    {"CollectionWithoutInterface", L"\\\\?\\hid#vid_1a2b&pid_3c4d&col03#x", true, 0x1a2b, 0x3c4d, -1, 3},
    {"UpperCase", L"\\\\?\\HID#VID_1A2B&PID_3C4D&MI_01&COL02#{4D1E55B2}", true, 0x1a2b, 0x3c4d, 1, 2},
    // The interface and collection fields keep only their last character.
    {"TwoDigitInterfaceKeepsLastDigit", L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_12#x", true, 0x1a2b, 0x3c4d, 2, -1},
    {"TwoDigitCollectionKeepsLastDigit", L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_00&col1f#x", true, 0x1a2b, 0x3c4d, 0, 0xf},
    // The revision field is accepted and skipped.
    {"RevisionField", L"hid#vid_1a2b&pid_3c4d&rev_0105&mi_01#x", true, 0x1a2b, 0x3c4d, 1, -1},
    // Optional fields count only in their order, each right after the last.
    {"FieldsOutOfOrder", L"hid#vid_1a2b&pid_3c4d&col02&mi_01#x", true, 0x1a2b, 0x3c4d, -1, 2},
    {"IncompleteRevisionHidesTheRest", L"hid#vid_1a2b&pid_3c4d&rev_01&mi_02#x", true, 0x1a2b, 0x3c4d, -1, -1},
    {"LaterMatchWhenTheFirstIsIncomplete", L"hid#vid_12&hid#vid_1a2b&pid_3c4d&mi_03#x", true, 0x1a2b, 0x3c4d, 3, -1},
    {"MatchInsideLongerText", L"prefix-HID#vid_00ff&pid_0001-suffix", true, 0xff, 1, -1, -1},
    // Letters outside hex pass the pattern; conversion stops at them.
    {"NonHexLettersConvertUpToTheFirst", L"hid#vid_1g2b&pid_zzzz#x", true, 1, 0, -1, -1},
    {"UsbPathDoesNotParse", L"\\\\?\\usb#vid_1a2b&pid_3c4d#{a5dcbf10}", false, 0, 0, 0, 0},
    {"ShortVendorDoesNotParse", L"\\\\?\\hid#vid_1a2&pid_3c4d#x", false, 0, 0, 0, 0},
    {"EmptyPath", L"", false, 0, 0, 0, 0},
};

class HidPathParsing : public testing::TestWithParam<HidPathCase> {};

TEST_P(HidPathParsing, YieldsTheFourNumbers)
{
    const HidPathCase& c = GetParam();
    int32_t vendor = kUntouched, product = kUntouched, interfaceNumber = kUntouched, collection = kUntouched;
    ASSERT_EQ(parseHidDevicePath(c.path, vendor, product, interfaceNumber, collection), c.parses);
    if (c.parses) {
        EXPECT_EQ(vendor, c.vendorId);
        EXPECT_EQ(product, c.productId);
        EXPECT_EQ(interfaceNumber, c.interfaceNumber);
        EXPECT_EQ(collection, c.collectionNumber);
    } else {
        EXPECT_EQ(vendor, kUntouched);
        EXPECT_EQ(product, kUntouched);
        EXPECT_EQ(interfaceNumber, kUntouched);
        EXPECT_EQ(collection, kUntouched);
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, HidPathParsing, testing::ValuesIn(kHidPathCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HidPathParsingNull, NullPathFailsAndLeavesOutValues)
{
    int32_t vendor = kUntouched, product = kUntouched, interfaceNumber = kUntouched, collection = kUntouched;
    EXPECT_FALSE(parseHidDevicePath(nullptr, vendor, product, interfaceNumber, collection));
    EXPECT_EQ(vendor, kUntouched);
    int32_t revision = kUntouched;
    EXPECT_FALSE(parseUsbDevicePath(nullptr, vendor, product, interfaceNumber, collection, revision));
    EXPECT_EQ(revision, kUntouched);
}

struct UsbPathCase {
    const char* name;
    const wchar_t* path;
    bool parses;
    int32_t vendorId;
    int32_t productId;
    int32_t interfaceNumber;
    int32_t revision;
};

const UsbPathCase kUsbPathCases[] = {
    {"PlainUsbPath", L"\\\\?\\usb#vid_1a2b&pid_3c4d#5&2a&0&1#{a5dcbf10}", true, 0x1a2b, 0x3c4d, -1, -1},
    // Like the other repeated fields, the revision keeps its last character.
    {"RevisionKeepsLastDigit", L"\\\\?\\USB#VID_1A2B&PID_3C4D&REV_0105&MI_01#x", true, 0x1a2b, 0x3c4d, 1, 5},
    {"HidPathDoesNotParse", L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_01#x", false, 0, 0, 0, 0},
};

class UsbPathParsing : public testing::TestWithParam<UsbPathCase> {};

TEST_P(UsbPathParsing, YieldsIdsAndRevision)
{
    const UsbPathCase& c = GetParam();
    int32_t vendor = kUntouched, product = kUntouched, interfaceNumber = kUntouched, collection = kUntouched,
            revision = kUntouched;
    ASSERT_EQ(parseUsbDevicePath(c.path, vendor, product, interfaceNumber, collection, revision), c.parses);
    if (!c.parses) {
        EXPECT_EQ(revision, kUntouched);
        return;
    }
    EXPECT_EQ(vendor, c.vendorId);
    EXPECT_EQ(product, c.productId);
    EXPECT_EQ(interfaceNumber, c.interfaceNumber);
    EXPECT_EQ(collection, -1);
    EXPECT_EQ(revision, c.revision);
}

INSTANTIATE_TEST_SUITE_P(Paths, UsbPathParsing, testing::ValuesIn(kUsbPathCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct BuiltPathCase {
    const char* name;
    HidPathIds ids;
    const char* node;
    const wchar_t* path;
};

const BuiltPathCase kBuiltPathCases[] = {
    {"InterfaceAndCollection", {0x1a2b, 0x3c4d, 1, 2}, "/dev/hidraw3", L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_01&col02#/dev/hidraw3"},
    {"NoInterface", {0x7a1c, 0x0101, -1, -1}, "/dev/hidraw4", L"\\\\?\\hid#vid_7a1c&pid_0101#/dev/hidraw4"},
    {"CollectionAboveNine", {0xffff, 0x0001, 0, 10}, "sim:1", L"\\\\?\\hid#vid_ffff&pid_0001&mi_00&col0a#sim:1"},
    // udev may name a node with any characters, the path's own separator too.
    {"NodeHoldingHash", {0x1a2b, 0x3c4d, -1, -1}, "/dev/input/odd#name#", L"\\\\?\\hid#vid_1a2b&pid_3c4d#/dev/input/odd#name#"},
};

class BuiltPaths : public testing::TestWithParam<BuiltPathCase> {};

TEST_P(BuiltPaths, FormatAndNodeRoundTrip)
{
    const BuiltPathCase& c = GetParam();
    const std::wstring path = formatHidDevicePath(c.ids, c.node);
    EXPECT_EQ(path, c.path);
    EXPECT_EQ(hidPathNode(path), c.node);
}

INSTANTIATE_TEST_SUITE_P(Paths, BuiltPaths, testing::ValuesIn(kBuiltPathCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BuiltPathsParse, SingleDigitFieldsParseBack)
{
    const std::wstring path = formatHidDevicePath({0x1a2b, 0x3c4d, 1, 2}, "/dev/hidraw0");
    int32_t vendor = 0, product = 0, interfaceNumber = 0, collection = 0;
    ASSERT_TRUE(parseHidDevicePath(path.c_str(), vendor, product, interfaceNumber, collection));
    EXPECT_EQ(vendor, 0x1a2b);
    EXPECT_EQ(product, 0x3c4d);
    EXPECT_EQ(interfaceNumber, 1);
    EXPECT_EQ(collection, 2);
}

TEST(BuiltPathsNode, PathWithoutHashIsItsOwnNode)
{
    EXPECT_EQ(hidPathNode(L"/dev/hidraw7"), "/dev/hidraw7");
}

}  // namespace
