#include "hid/linux/Uevent.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

TEST(UeventText, ParsesLinesAndSkipsMalformedOnes)
{
    const UeventProperties properties = parseUevent(
        "DRIVER=hid-generic\nHID_ID=0003:00001A2B:00003C4D\nno equals sign\n=empty key\nHID_UNIQ=\n"
        "HID_NAME=Mouse = Name\nDRIVER=usbhid");
    EXPECT_EQ(properties.size(), 4u);
    EXPECT_EQ(ueventValue(properties, "DRIVER"), "usbhid");
    EXPECT_EQ(ueventValue(properties, "HID_ID"), "0003:00001A2B:00003C4D");
    EXPECT_EQ(ueventValue(properties, "HID_UNIQ"), "");
    EXPECT_EQ(ueventValue(properties, "HID_NAME"), "Mouse = Name");
    EXPECT_EQ(ueventValue(properties, "MISSING"), "");
}

TEST(UeventText, AcceptsArbitraryBytes)
{
    const std::string bytes("\0=\xff\n\n==\n\x01=\x02", 11);
    const UeventProperties properties = parseUevent(bytes);
    EXPECT_EQ(ueventValue(properties, std::string(1, '\0')), "\xff");
    EXPECT_EQ(ueventValue(properties, "\x01"), "\x02");
}

struct HidIdCase {
    const char* name;
    const char* text;
    bool valid;
    HidIdField id;
};

const HidIdCase kHidIdCases[] = {
    {"UsbMouse", "0003:00001A2B:00003C4D", true, {0x0003, 0x1a2b, 0x3c4d}},
    {"I2cDevice", "0018:00007A1C:00000101", true, {0x0018, 0x7a1c, 0x0101}},
    {"ShortFields", "5:1:2", true, {0x5, 0x1, 0x2}},
    {"VendorWiderThan16Bits", "0003:00011A2B:00003C4D", false, {}},
    {"MissingProduct", "0003:00001A2B", false, {}},
    {"NonHexDigit", "0003:00001A2G:00003C4D", false, {}},
    {"TrailingText", "0003:00001A2B:00003C4D ", false, {}},
    {"Empty", "", false, {}},
};

class HidIdParsing : public testing::TestWithParam<HidIdCase> {};

TEST_P(HidIdParsing, ReadsBusVendorProduct)
{
    const HidIdCase& c = GetParam();
    const auto id = parseHidId(c.text);
    ASSERT_EQ(id.has_value(), c.valid);
    if (!c.valid)
        return;
    EXPECT_EQ(id->bus, c.id.bus);
    EXPECT_EQ(id->vendorId, c.id.vendorId);
    EXPECT_EQ(id->productId, c.id.productId);
}

INSTANTIATE_TEST_SUITE_P(Texts, HidIdParsing, testing::ValuesIn(kHidIdCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct DeviceNameCase {
    const char* name;
    const char* text;
    bool valid;
    uint16_t vendorId;
    uint16_t productId;
};

const DeviceNameCase kDeviceNameCases[] = {
    {"HidDevice", "0003:1A2B:3C4D.0001", true, 0x1a2b, 0x3c4d},
    {"LowerCase", "0018:7a1c:0101.00ff", true, 0x7a1c, 0x0101},
    {"PciAddressIsNotAHidDevice", "0000:00:14.0", false, 0, 0},
    {"UsbInterfaceIsNotAHidDevice", "1-2:1.0", false, 0, 0},
    {"MissingInstance", "0003:1A2B:3C4D", false, 0, 0},
    {"WrongSeparator", "0003:1A2B:3C4D:0001", false, 0, 0},
};

class HidDeviceNames : public testing::TestWithParam<DeviceNameCase> {};

TEST_P(HidDeviceNames, AreRecognisedStrictly)
{
    const DeviceNameCase& c = GetParam();
    const auto id = parseHidDeviceName(c.text);
    ASSERT_EQ(id.has_value(), c.valid);
    if (c.valid) {
        EXPECT_EQ(id->vendorId, c.vendorId);
        EXPECT_EQ(id->productId, c.productId);
    }
}

INSTANTIATE_TEST_SUITE_P(Names, HidDeviceNames, testing::ValuesIn(kDeviceNameCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct NumberCase {
    const char* name;
    const char* text;
    std::optional<int> number;
};

const NumberCase kPhysCases[] = {
    {"UsbInterfaceOne", "usb-0000:00:14.0-2/input1", 1},
    {"TwoDigits", "usb-0000:00:14.0-2.3/input12", 12},
    {"I2cHasNone", "i2c-TPAD0001:00", std::nullopt},
    {"BluetoothAddressHasNone", "a0:b1:c2:d3:e4:f5", std::nullopt},
    {"NoDigits", "usb-0000:00:14.0-2/input", std::nullopt},
    {"TrailingText", "usb-0000:00:14.0-2/input1x", std::nullopt},
    {"Negative", "usb-0000:00:14.0-2/input-1", std::nullopt},
    {"BeyondAByte", "usb-0000:00:14.0-2/input300", std::nullopt},
};

class PhysInterface : public testing::TestWithParam<NumberCase> {};

TEST_P(PhysInterface, TakesTheInputSuffix)
{
    EXPECT_EQ(interfaceFromPhys(GetParam().text), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(Phys, PhysInterface, testing::ValuesIn(kPhysCases),
                         [](const auto& info) { return std::string(info.param.name); });

const NumberCase kUsbInterfaceCases[] = {
    {"RootPort", "1-2:1.0", 0},
    {"BehindAHub", "3-1.4.2:1.3", 3},
    {"DecimalNumber", "1-2:1.10", 10},
    {"UsbDeviceHasNone", "1-2", std::nullopt},
    {"HidDeviceHasNone", "0003:1A2B:3C4D.0001", std::nullopt},
    {"PciAddressHasNone", "0000:00:14.0", std::nullopt},
    {"Empty", "", std::nullopt},
};

class UsbInterfaceNames : public testing::TestWithParam<NumberCase> {};

TEST_P(UsbInterfaceNames, GiveTheInterfaceNumber)
{
    EXPECT_EQ(interfaceFromUsbInterfaceName(GetParam().text), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(Names, UsbInterfaceNames, testing::ValuesIn(kUsbInterfaceCases),
                         [](const auto& info) { return std::string(info.param.name); });

const NumberCase kHexAttributeCases[] = {
    {"InterfaceNumber", "01\n", 1},
    {"BcdDevice", "0105\n", 0x105},
    {"SurroundingSpace", "  ff \n", 0xff},
    {"Empty", "\n", std::nullopt},
    {"TooWide", "10000\n", std::nullopt},
    {"NotHex", "0x01\n", std::nullopt},
};

class HexAttributes : public testing::TestWithParam<NumberCase> {};

TEST_P(HexAttributes, ParseSysfsHex)
{
    const auto value = parseHexAttribute(GetParam().text);
    ASSERT_EQ(value.has_value(), GetParam().number.has_value());
    if (value) {
        EXPECT_EQ(*value, *GetParam().number);
    }
}

INSTANTIATE_TEST_SUITE_P(Attributes, HexAttributes, testing::ValuesIn(kHexAttributeCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
