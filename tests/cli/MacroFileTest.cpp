// Reading a macro file: what is accepted and what is refused with a reason.

#include "cli/MacroFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <unistd.h>

namespace {

std::string itemsOf(int count)
{
    std::string items;
    for (int i = 0; i < count; ++i) {
        items += "<item code=\"65\" state=\"" + std::to_string(i % 2) + "\" delay=\"10\"/>";
    }
    return items;
}

class MacroFileTest : public ::testing::Test {
protected:
    MacroFileResult readText(const std::string& text)
    {
        std::ofstream(path_) << text;
        return readMacroFile(path_);
    }

    ~MacroFileTest() override { std::filesystem::remove(path_); }

    const std::filesystem::path path_ =
        std::filesystem::temp_directory_path() / ("mousectl-macro-" + std::to_string(::getpid()) + ".xml");
};

TEST_F(MacroFileTest, ReadsNameRepeatAndItemsWithKeyNamesForUnnamedItems)
{
    const MacroFileResult result = readText(
        "<macro name=\"copy\" repeat=\"3\"><item code=\"162\" state=\"0\" delay=\"30\" name=\"Ctrl\"/>"
        "<!-- a comment --><step code=\"0x43\" state=\"1\"/></macro>");

    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.macro.name, L"copy");
    EXPECT_EQ(result.macro.repeat, 3);
    EXPECT_EQ(result.macro.items, (std::vector<MacroItem>{{162, 0, 30, L"Ctrl"}, {0x43, 1, 0, L"C"}}));
}

TEST_F(MacroFileTest, SixtyItemsFit)
{
    const MacroFileResult result = readText("<macro>" + itemsOf(60) + "</macro>");

    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.macro.items.size(), 60u);
    EXPECT_EQ(result.macro.repeat, 1);
}

struct RefusedCase {
    const char* name;
    std::string text;
    const char* reason;  // part of the error line
};

void PrintTo(const RefusedCase& row, std::ostream* out)
{
    *out << row.name;
}

class MacroFileRefused : public MacroFileTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(MacroFileRefused, SaysWhy)
{
    const MacroFileResult result = readText(GetParam().text);

    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find(GetParam().reason), std::string::npos) << result.error;
    EXPECT_EQ(result.error.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MacroFileRefused,
    ::testing::Values(RefusedCase{"NotXml", "<macro><item code=\"65\"", "offset"},
                      RefusedCase{"NoItems", "<macro name=\"empty\"/>", "has no items"},
                      RefusedCase{"TooManyItems", "<macro>" + itemsOf(61) + "</macro>", "at most 60"},
                      RefusedCase{"ItemWithoutCode", "<macro><item state=\"0\"/></macro>", "item 1: needs a key code"},
                      RefusedCase{"CodeNotANumber", "<macro><item code=\"A\"/></macro>", "needs a key code"},
                      RefusedCase{"StateTwo", "<macro><item code=\"65\"/><item code=\"65\" state=\"2\"/></macro>",
                                  "item 2: state must be"},
                      RefusedCase{"NegativeDelay", "<macro><item code=\"65\" delay=\"-1\"/></macro>", "delay"},
                      RefusedCase{"RepeatTooLarge", "<macro repeat=\"256\"><item code=\"65\"/></macro>", "repeat"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MacroFileMissing, IsRefused)
{
    const MacroFileResult result = readMacroFile("/nonexistent/macro.xml");

    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("cannot be read"), std::string::npos) << result.error;
}

}  // namespace
