#include "ui/widgets/DecimalList.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

struct ListCase {
    const char* label;
    const wchar_t* text;
    std::size_t read;
    std::array<std::int32_t, 2> fields; // starting from {7, 9}
};

class ScanDecimalList : public testing::TestWithParam<ListCase> {};

TEST_P(ScanDecimalList, WritesOnlyTheFieldsRead)
{
    std::array<std::int32_t, 2> fields{7, 9};
    EXPECT_EQ(scanDecimalList(GetParam().text, fields), GetParam().read);
    EXPECT_EQ(fields, GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScanDecimalList,
    testing::Values(
        ListCase{"Both", L"4,2", 2, {4, 2}},
        ListCase{"SpaceBeforeEachNumber", L" 4, -2", 2, {4, -2}},
        ListCase{"SpaceBeforeCommaStops", L"4 ,2", 1, {4, 9}},
        ListCase{"OnlyFirst", L"5", 1, {5, 9}},
        ListCase{"NoneWhenNotANumber", L"x,3", 0, {7, 9}},
        ListCase{"EmptyText", L"", 0, {7, 9}},
        ListCase{"HexIsNotRead", L"0x10,1", 1, {0, 9}},
        ListCase{"ExtraFieldsIgnored", L"1,2,3", 2, {1, 2}}),
    [](const testing::TestParamInfo<ListCase>& info) { return std::string(info.param.label); });

} // namespace
