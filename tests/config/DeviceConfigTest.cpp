#include "config/DeviceConfig.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct Expected {
    UsbInfo usb;
    std::wstring language;
    std::vector<MacroFuncKey> funcKeys;
    std::vector<MacroCombKey> combKeys;
};

template <class Shape>
auto elements(const Shape& shape)
{
    using Element = std::remove_cvref_t<decltype(*shape.data())>;
    const auto* first = shape.data();
    return first == nullptr ? std::vector<Element>{} : std::vector<Element>(first, first + shape.length());
}

void expectConfig(const DeviceConfig& config, const Expected& expected)
{
    EXPECT_EQ(config.usbInfo.length(), 1u);
    EXPECT_EQ(config.usbInfo.current(), expected.usb);
    EXPECT_EQ(config.language.length(), 1u);
    EXPECT_EQ(config.language.current(), expected.language);
    EXPECT_EQ(elements(config.funcKeys), expected.funcKeys);
    EXPECT_EQ(elements(config.combKeys), expected.combKeys);
}

struct FileCase {
    const char* label;
    std::string xml;
    Expected expected;
};

void PrintTo(const FileCase& row, std::ostream* out) { *out << row.label; }

class DeviceConfigFileTest : public testing::TestWithParam<FileCase> {};

TEST_P(DeviceConfigFileTest, LoadsValues)
{
    TempDir dir;
    writeFile(dir / "config.xml", GetParam().xml);
    DeviceConfig config;
    loadDeviceConfig(config, dir.path());
    expectConfig(config, GetParam().expected);
}

UsbInfo usb(int32_t vid, int32_t pid = 0, int32_t interface = 0, int32_t subdevice = 0)
{
    return UsbInfo{vid, pid, interface, subdevice};
}

INSTANTIATE_TEST_SUITE_P(
    Usb, DeviceConfigFileTest,
    testing::Values(
        FileCase{"HexUpperCase", R"(<usb vid="1A2C"/>)", {usb(0x1A2C), {}, {}, {}}},
        FileCase{"HexLowerCase", R"(<usb vid="1a2c"/>)", {usb(0x1A2C), {}, {}, {}}},
        FileCase{"HexWithPrefix", R"(<usb vid="0x1A2C"/>)", {usb(0x1A2C), {}, {}, {}}},
        FileCase{"MinusOne", R"(<usb vid="-1"/>)", {usb(-1), {}, {}, {}}},
        FileCase{"AllOnesSaturatesInsteadOfMinusOne", R"(<usb vid="FFFFFFFF"/>)", {usb(2147483647), {}, {}, {}}},
        FileCase{"AllFourFields", R"(<usb vid="1a2c" pid="4C5E" interface="-1" subdevice="-1"/>)",
                 {usb(0x1A2C, 0x4C5E, -1, -1), {}, {}, {}}},
        FileCase{"MissingInterfaceIsZeroNotWildcard", R"(<usb vid="1" pid="2" subdevice="3"/>)",
                 {usb(1, 2, 0, 3), {}, {}, {}}},
        FileCase{"MalformedNumbersAreConverted", R"(<usb vid=" 12zz" pid="zz" interface="+0X10"/>)",
                 {usb(0x12, 0, 0x10), {}, {}, {}}},
        FileCase{"FirstOfTwoElementsWins", R"(<usb vid="1"/><usb vid="2" pid="3"/>)", {usb(1), {}, {}, {}}},
        FileCase{"NamesAreCaseSensitive", R"(<USB vid="1"/><usb VID="2"/>)", {usb(0), {}, {}, {}}}),
    [](const testing::TestParamInfo<FileCase>& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    Document, DeviceConfigFileTest,
    testing::Values(
        FileCase{"WrappedInRootElementIsNotFound",
                 R"(<config><local language="cn"/><usb vid="1"/><funkey><k name="a"/></funkey></config>)",
                 {usb(0), {}, {}, {}}},
        FileCase{"OrderOfTopLevelElementsDoesNotMatter",
                 R"(<combkey><k name="c"/></combkey><funkey><k name="f"/></funkey><usb vid="5"/><local language="x"/>)",
                 {usb(5), L"x", {{L"f", 0, L"", L""}}, {{L"c", {}}}}},
        FileCase{"UnknownElementsIgnored", R"(<other/><usb vid="5"/><?pi data?>)", {usb(5), {}, {}, {}}},
        FileCase{"DocumentWithoutTheElementsKeepsDefaults", R"(<nothing/>)", {usb(0), {}, {}, {}}},
        FileCase{"LanguageUsedVerbatim", R"(<local language="cn "/>)", {usb(0), L"cn ", {}, {}}},
        FileCase{"LanguageUpperCaseKept", R"(<local language="CN"/>)", {usb(0), L"CN", {}, {}}},
        FileCase{"LocalWithoutLanguage", R"(<local/>)", {usb(0), L"", {}, {}}},
        FileCase{"FirstLocalWins", R"(<local language="cn"/><local language="en"/>)", {usb(0), L"cn", {}, {}}},
        FileCase{"EntitiesAndCharacterReferencesExpanded", R"(<local language="a&amp;b&#x4E2D;&#25991;"/>)",
                 {usb(0), L"a&b\u4E2D\u6587", {}, {}}},
        FileCase{"LineBreakInsideAttributeBecomesSpace", "<local language=\"c\nn\"/>", {usb(0), L"c n", {}, {}}},
        FileCase{"Utf8TextDecoded", "<local language=\"\xE4\xB8\xAD\xE6\x96\x87\"/>",
                 {usb(0), L"\u4E2D\u6587", {}, {}}}),
    [](const testing::TestParamInfo<FileCase>& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    FunctionKeys, DeviceConfigFileTest,
    testing::Values(
        FileCase{"AllAttributes", R"(<funkey><k name="Mail" code="401" path="p" argm="a"/></funkey>)",
                 {usb(0), {}, {{L"Mail", 401, L"p", L"a"}}, {}}},
        FileCase{"ChildrenWithoutNameOrWithEmptyNameSkippedOthersKeepOrder",
                 R"(<funkey><a name="one"/><b code="9"/><c name="" code="8"/><d name="two" code="2"/></funkey>)",
                 {usb(0), {}, {{L"one", 0, L"", L""}, {L"two", 2, L"", L""}}, {}}},
        FileCase{"CodeMinusOneKeepsBitPattern", R"(<funkey><k name="m" code="-1"/></funkey>)",
                 {usb(0), {}, {{L"m", -1, L"", L""}}, {}}},
        FileCase{"CodeIsDecimalNotHex", R"(<funkey><k name="m" code="0x10"/></funkey>)",
                 {usb(0), {}, {{L"m", 0, L"", L""}}, {}}},
        FileCase{"CodeAboveSignedRangeWraps", R"(<funkey><k name="m" code="4294967294"/></funkey>)",
                 {usb(0), {}, {{L"m", -2, L"", L""}}, {}}},
        FileCase{"CodeBeyondUnsignedRangeSaturates", R"(<funkey><k name="m" code="99999999999"/></funkey>)",
                 {usb(0), {}, {{L"m", -1, L"", L""}}, {}}},
        FileCase{"TextBetweenChildrenIgnored", R"(<funkey>text<k name="m"/>more</funkey>)",
                 {usb(0), {}, {{L"m", 0, L"", L""}}, {}}},
        FileCase{"OnlyFirstListElementRead", R"(<funkey><k name="a"/></funkey><funkey><k name="b"/></funkey>)",
                 {usb(0), {}, {{L"a", 0, L"", L""}}, {}}}),
    [](const testing::TestParamInfo<FileCase>& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    CombinationKeys, DeviceConfigFileTest,
    testing::Values(
        FileCase{"StepsWithSpaces", R"(<combkey><k name="Copy" code=" 17 : 5 , 65:0"/></combkey>)",
                 {usb(0), {}, {}, {{L"Copy", {{17, 5}, {65, 0}}}}}},
        FileCase{"WithoutCodeHasNoSteps", R"(<combkey><k name="Empty"/></combkey>)",
                 {usb(0), {}, {}, {{L"Empty", {}}}}},
        FileCase{"WithoutNameHasEmptyName", R"(<combkey><k code="17"/></combkey>)",
                 {usb(0), {}, {}, {{L"", {{17, 0}}}}}},
        FileCase{"EveryChildInOrder", R"(<combkey><a name="1" code="1:1"/><b name="2"/><c code=",,3:3,,"/></combkey>)",
                 {usb(0), {}, {}, {{L"1", {{1, 1}}}, {L"2", {}}, {L"", {{3, 3}}}}}},
        FileCase{"TabInCodeBecomesSpaceAndIsRemoved", "<combkey><k name=\"t\" code=\"1\t7:5\"/></combkey>",
                 {usb(0), {}, {}, {{L"t", {{17, 5}}}}}}),
    [](const testing::TestParamInfo<FileCase>& info) { return std::string(info.param.label); });

TEST(DeviceConfigTest, LoadsSampleFile)
{
    DeviceConfig config;
    loadDeviceConfig(config, std::filesystem::path(MOUSECFG_FIXTURES_DIR) / "config");
    expectConfig(config, {usb(0x1A2C, 0x4C5E, -1, 2), L"cn",
                          {{L"Calculator", 402, L"calc", L"--new"}, {L"Mute", -1, L"", L""}},
                          {{L"Copy", {{17, 5}, {67, 0}}}, {L"Nothing", {}}}});
}

TEST(DeviceConfigTest, DetectsUtf16WithByteOrderMark)
{
    const std::u16string text = u"\uFEFF<local language=\"\u4E2D\"/><usb vid=\"1a2c\"/>";
    std::string bytes;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    TempDir dir;
    writeFile(dir / "config.xml", bytes);
    DeviceConfig config;
    loadDeviceConfig(config, dir.path());
    expectConfig(config, {usb(0x1A2C), L"\u4E2D", {}, {}});
}

TEST(DeviceConfigTest, MissingFileKeepsDefaultsSilently)
{
    TempDir dir;
    DeviceConfig config;
    testing::internal::CaptureStderr();
    loadDeviceConfig(config, dir.path());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    expectConfig(config, {usb(0), {}, {}, {}});
}

// A malformed file changes nothing, even the parts before the error, and
// tells the user once which file failed and where.
TEST(DeviceConfigTest, MalformedFileKeepsDefaultsAndReportsParserError)
{
    const std::string xml = R"(<local language="cn"/><usb vid="1a2c"/><funkey><k name="a"></funkey>)";
    pugi::xml_document reference;
    const pugi::xml_parse_result parsed = reference.load_string(xml.c_str());
    ASSERT_FALSE(parsed);

    TempDir dir;
    writeFile(dir / "config.xml", xml);
    DeviceConfig config;
    testing::internal::CaptureStderr();
    loadDeviceConfig(config, dir.path());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "mousecfg: cannot read " + (dir / "config.xml").string() + ": " + parsed.description()
                  + " at offset " + std::to_string(parsed.offset) + "\n");
    expectConfig(config, {usb(0), {}, {}, {}});
}

TEST(DeviceConfigTest, UnreadablePathIsReported)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "config.xml");
    DeviceConfig config;
    testing::internal::CaptureStderr();
    loadDeviceConfig(config, dir.path());
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_EQ(message.rfind("mousecfg: cannot read " + (dir / "config.xml").string() + ": ", 0), 0u) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1);
    expectConfig(config, {usb(0), {}, {}, {}});
}

// Members of the configuration channels made after loading start with the
// loaded values; this is how the device logic and the pages receive them.
TEST(DeviceConfigTest, LaterChannelMembersStartWithLoadedValues)
{
    TempDir dir;
    writeFile(dir / "config.xml",
              R"(<usb vid="1a2c" pid="2"/><funkey><k name="f" code="3"/></funkey><combkey><k name="c" code="4:5"/></combkey>)");
    DeviceConfig config;
    loadDeviceConfig(config, dir.path());

    const UsbInfoShape usbInfo;
    const FuncKeyListShape funcKeys;
    const CombKeyListShape combKeys;
    EXPECT_EQ(usbInfo.current(), usb(0x1A2C, 2));
    EXPECT_EQ(elements(funcKeys), (std::vector<MacroFuncKey>{{L"f", 3, L"", L""}}));
    EXPECT_EQ(elements(combKeys), (std::vector<MacroCombKey>{{L"c", {{4, 5}}}}));
}

} // namespace
