#include <gtest/gtest.h>

#include "toolkit/AttributeValue.h"
#include "toolkit/Color.h"

#include <optional>
#include <string>

namespace {

struct IntCase {
    const wchar_t* text;
    int32_t lenient;                // attrToInt
    std::optional<int32_t> strict;  // attrToStrictInt
};

class Integers : public testing::TestWithParam<IntCase> {};

TEST_P(Integers, ReadDecimalAndHexadecimal)
{
    EXPECT_EQ(attrToInt(GetParam().text), GetParam().lenient);
    EXPECT_EQ(attrToStrictInt(GetParam().text), GetParam().strict);
}

INSTANTIATE_TEST_SUITE_P(Texts, Integers,
                         testing::Values(IntCase{L"42", 42, 42}, IntCase{L"-7", -7, -7}, IntCase{L"+3", 3, 3},
                                         IntCase{L"0x1F", 31, 31}, IntCase{L"0XfF", 255, 255}, IntCase{L" 12 ", 12, 12},
                                         IntCase{L"12px", 12, std::nullopt}, IntCase{L"abc", 0, std::nullopt},
                                         IntCase{L"", 0, std::nullopt}, IntCase{L"0x", 0, std::nullopt},
                                         IntCase{L"-0x10", -16, -16}, IntCase{L"0xFFFFFFFF", -1, -1}));

TEST(Attributes, Booleans)
{
    for (const wchar_t* yes : {L"1", L"true", L"TRUE", L"yes"}) {
        EXPECT_EQ(attrToBool(yes), true) << yes;
    }
    for (const wchar_t* no : {L"0", L"false", L"No"}) {
        EXPECT_EQ(attrToBool(no), false) << no;
    }
    for (const wchar_t* neither : {L"", L"2", L"off"}) {
        EXPECT_EQ(attrToBool(neither), std::nullopt) << neither;
    }
}

TEST(Attributes, PointsSizesAndMargins)
{
    EXPECT_EQ(attrToPoint(L"4, 2"), QPoint(4, 2));
    EXPECT_EQ(attrToSize(L"-1,30"), QSize(-1, 30));
    EXPECT_EQ(attrToPoint(L"4"), std::nullopt);
    EXPECT_EQ(attrToPoint(L"4,2,1"), std::nullopt);
    EXPECT_EQ(attrToSize(L"w,30"), std::nullopt);
    EXPECT_EQ(attrToMargins(L"6"), QMargins(6, 6, 6, 6));
    EXPECT_EQ(attrToMargins(L"6,2"), QMargins(6, 2, 6, 2));
    EXPECT_EQ(attrToMargins(L"1,2,3,4"), QMargins(1, 2, 3, 4));
    EXPECT_EQ(attrToMargins(L"1,2,3"), std::nullopt);
}

TEST(Attributes, EdgeOffsets)
{
    const auto near = attrToEdgeOffset(L"12");
    ASSERT_TRUE(near);
    EXPECT_FALSE(near->fromFarEdge);
    EXPECT_EQ(near->value, 12);
    const auto far = attrToEdgeOffset(L"-0");
    ASSERT_TRUE(far);
    EXPECT_TRUE(far->fromFarEdge);
    EXPECT_EQ(far->value, 0);
    EXPECT_EQ(attrToEdgeOffset(L"-8")->value, 8);
    EXPECT_FALSE(attrToEdgeOffset(L"left"));
}

struct ColorCase {
    const wchar_t* text;
    std::optional<QColor> color;
};

class Colours : public testing::TestWithParam<ColorCase> {};

TEST_P(Colours, ReadHexAndFunctionForms)
{
    EXPECT_EQ(parseColorText(GetParam().text), GetParam().color);
}

INSTANTIATE_TEST_SUITE_P(Texts, Colours,
                         testing::Values(ColorCase{L"#1fd0f8", QColor(0x1f, 0xd0, 0xf8)},
                                         ColorCase{L"#1FD0F880", QColor(0x1f, 0xd0, 0xf8, 0x80)},
                                         ColorCase{L"#fff", QColor(255, 255, 255)},
                                         ColorCase{L"rgb(1, 2, 3)", QColor(1, 2, 3)},
                                         ColorCase{L"rgba(1,2,3,4)", QColor(1, 2, 3, 4)},
                                         ColorCase{L"#12345", std::nullopt}, ColorCase{L"#ggg", std::nullopt},
                                         ColorCase{L"rgb(1,2)", std::nullopt}, ColorCase{L"rgb(256,0,0)", std::nullopt},
                                         ColorCase{L"red", std::nullopt}));

TEST(Colours, ThirtyTwoBitLayoutHasRedInTheLowByte)
{
    const SColorRef c = makeColor(0x11, 0x22, 0x33, 0x44);
    EXPECT_EQ(c, 0x44332211u);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&c);
    EXPECT_EQ(bytes[0], 0x11) << "red first in memory";
    EXPECT_EQ(fromQColor(toQColor(c)), c);
}

}  // namespace
