#include "hid/HidTextFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(GuidText, HidClassGuid)
{
    wchar_t buffer[kGuidTextCapacity];
    EXPECT_STREQ(formatGuidText(kHidInterfaceClassGuid, buffer), L"4d1e55b2-f16f-11cf-88cb001111000030");
}

TEST(GuidText, LeadingZerosArePadded)
{
    const HidGuid guid{0x1, 0x2, 0x3, {0, 0, 0, 0, 0, 0, 0, 0xff}};
    wchar_t buffer[kGuidTextCapacity];
    EXPECT_STREQ(formatGuidText(guid, buffer), L"0001-02-03-00000000000000ff");
}

struct HexCase {
    const char* name;
    std::vector<uint8_t> bytes;
    size_t capacity;
    wchar_t separator;
    const wchar_t* text;
};

const HexCase kHexCases[] = {
    {"WithoutSeparator", {0x00, 0x07, 0xf7, 0xab}, 9, L'\0', L"0007f7ab"},
    {"SpaceSeparatorNotAfterLast", {0x00, 0x07, 0xf7}, 10, L' ', L"00 07 f7"},
    {"SingleByte", {0x5a}, 4, L' ', L"5a"},
    {"NoBytes", {}, 4, L' ', L""},
    {"CapacityStopsBeforeOverflow", {0x01, 0x02, 0x03}, 5, L'\0', L"0102"},
    {"OnlyWholePairsFit", {0x01, 0x02, 0x03}, 4, L'\0', L"01"},
    {"SeparatorNeedsRoomForTheNextPair", {0x01, 0x02}, 5, L'-', L"01"},
    {"CapacityOfOneGivesEmptyText", {0x01}, 1, L' ', L""},
};

class HexBytes : public testing::TestWithParam<HexCase> {};

TEST_P(HexBytes, FormatsWithinCapacity)
{
    const HexCase& c = GetParam();
    // Guard characters after the capacity catch writes past it.
    std::vector<wchar_t> buffer(c.capacity + 4, L'#');
    formatHexBytes(c.bytes.data(), c.bytes.size(), buffer.data(), c.capacity, c.separator);
    EXPECT_STREQ(buffer.data(), c.text);
    for (size_t i = c.capacity; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], L'#') << "written past the capacity at " << i;
}

INSTANTIATE_TEST_SUITE_P(Bytes, HexBytes, testing::ValuesIn(kHexCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HexBytesCapacity, ZeroCapacityWritesNothing)
{
    const uint8_t bytes[] = {0x12};
    wchar_t buffer[2] = {L'#', L'#'};
    EXPECT_EQ(formatHexBytes(bytes, 1, buffer, 0, L' '), buffer);
    EXPECT_EQ(buffer[0], L'#');
}

TEST(HexBytesCapacity, TransferSizedBufferHoldsEveryByte)
{
    std::vector<uint8_t> bytes(65);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i);
    std::vector<wchar_t> buffer(3 * bytes.size() + 1);
    formatHexBytes(bytes.data(), bytes.size(), buffer.data(), buffer.size(), L' ');
    const std::wstring text = buffer.data();
    EXPECT_EQ(text.size(), 3 * bytes.size() - 1);
    EXPECT_EQ(text.substr(0, 8), L"00 01 02");
    EXPECT_EQ(text.substr(text.size() - 5), L"3f 40");
}

}  // namespace
