#include "ui/widgets/CoordsFile.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

struct RectCase {
    const char* label;
    const wchar_t* text;
    CoordRect expected;
};

class ParseCoordRect : public testing::TestWithParam<RectCase> {};

TEST_P(ParseCoordRect, ReadsLeftTopWidthHeight)
{
    EXPECT_EQ(parseCoordRect(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseCoordRect,
    testing::Values(
        RectCase{"Plain", L"10,20,30,40", {10, 20, 40, 60}},
        RectCase{"SpacesRemovedFirst", L" 1 0 , 2 0,3 0 ,4 0 ", {10, 20, 40, 60}},
        RectCase{"NegativeOrigin", L"-5,-6,10,12", {-5, -6, 5, 6}},
        RectCase{"ExplicitPlus", L"+3,+4,+5,+6", {3, 4, 8, 10}},
        RectCase{"TwoFieldsLeaveSizeZero", L"7,8", {7, 8, 7, 8}},
        RectCase{"StopsAtFirstMismatch", L"1,2,x,4", {1, 2, 1, 2}},
        RectCase{"WrongSeparatorStops", L"1;2;3;4", {1, 0, 1, 0}},
        RectCase{"Empty", L"", {0, 0, 0, 0}},
        RectCase{"NotANumber", L"abc", {0, 0, 0, 0}},
        RectCase{"TrailingTextIgnored", L"1,2,3,4,5junk", {1, 2, 4, 6}},
        RectCase{"HugeValueSaturates", L"0,0,99999999999,1", {0, 0, 2147483647, 1}},
        RectCase{"SumWrapsInsteadOfOverflowing", L"2147483647,0,1,0", {2147483647, 0, -2147483647 - 1, 0}}),
    [](const testing::TestParamInfo<RectCase>& info) { return std::string(info.param.label); });

CoordButtonItems itemsOf(const char* xml)
{
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(xml));
    return readCoordItems(document);
}

TEST(ReadCoordItems, AbsentAttributesTakeDefaults)
{
    const CoordButtonItems items = itemsOf("<positions><item/></positions>");
    ASSERT_EQ(items.size(), 1u);
    const CoordButtonItem& item = items.at(-1);
    EXPECT_EQ(item, CoordButtonItem{});
    EXPECT_EQ(item.index, -1);
    EXPECT_EQ(item.rect, (CoordRect{0, 0, 0, 0}));
}

TEST(ReadCoordItems, ReadsEveryAttributeOfAnyElementName)
{
    const CoordButtonItems items = itemsOf(
        "<positions>"
        "<button id='3' value='-7' index='2' name='Wheel \xE6\xBB\x9A\xE8\xBD\xAE' bground='4278190335'"
        " fground='16777215' rect='5,6,7,8'/>"
        "<anything id='1'/>"
        "</positions>");
    ASSERT_EQ(items.size(), 2u);
    const CoordButtonItem& item = items.at(3);
    EXPECT_EQ(item.value, -7);
    EXPECT_EQ(item.index, 2);
    EXPECT_EQ(item.name, L"Wheel \u6EDA\u8F6E");
    EXPECT_EQ(item.bground, 0xFF0000FFu);
    EXPECT_EQ(item.fground, 0x00FFFFFFu);
    EXPECT_EQ(item.rect, (CoordRect{5, 6, 12, 14}));
    EXPECT_FALSE(item.selected || item.hover || item.marked);
    EXPECT_TRUE(items.contains(1));
}

TEST(ReadCoordItems, LaterDuplicateIdReplacesEarlier)
{
    const CoordButtonItems items = itemsOf(
        "<positions><a id='4' name='first' rect='0,0,1,1'/><b id='4' name='second'/></positions>");
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items.at(4).name, L"second");
    EXPECT_EQ(items.at(4).rect, (CoordRect{}));
}

TEST(ReadCoordItems, ItemsAreOrderedById)
{
    const CoordButtonItems items =
        itemsOf("<positions><a id='9'/><a id='-2'/><a id='5'/></positions>");
    std::vector<std::int32_t> ids;
    for (const auto& [id, item] : items)
        ids.push_back(id);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{-2, 5, 9}));
}

TEST(ReadCoordItems, OnlyElementChildrenOfPositionsCount)
{
    EXPECT_TRUE(itemsOf("<other><a id='1'/></other>").empty());
    EXPECT_EQ(itemsOf("<positions>text<!-- c --><a id='1'/></positions>").size(), 1u);
    const CoordButtonItems nested = itemsOf("<positions><group><a id='1'/></group></positions>");
    EXPECT_TRUE(nested.contains(-1));
    EXPECT_FALSE(nested.contains(1));
}

class LoadCoordsFile : public testing::Test {
protected:
    std::filesystem::path write(const std::string& contents)
    {
        const std::filesystem::path path = directory / "coords.xml";
        std::ofstream(path, std::ios::binary) << contents;
        return path;
    }
    void SetUp() override
    {
        directory = std::filesystem::temp_directory_path()
            / ("coords-test-" + std::to_string(::getpid()) + "-"
               + testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(directory);
    }
    void TearDown() override { std::filesystem::remove_all(directory); }
    std::filesystem::path directory;
};

TEST_F(LoadCoordsFile, MissingFileGivesNoItems)
{
    EXPECT_TRUE(loadCoordsFile(directory / "absent.xml").empty());
}

TEST_F(LoadCoordsFile, MalformedFileGivesNoItems)
{
    EXPECT_TRUE(loadCoordsFile(write("<positions><a id='1'></positions>")).empty());
}

TEST_F(LoadCoordsFile, DetectsUtf16Encoding)
{
    const std::u16string text = u"\uFEFF<positions><a id='2' name='\u00E9'/></positions>";
    const std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    const CoordButtonItems items = loadCoordsFile(write(bytes));
    ASSERT_TRUE(items.contains(2));
    EXPECT_EQ(items.at(2).name, L"\u00E9");
}

} // namespace
