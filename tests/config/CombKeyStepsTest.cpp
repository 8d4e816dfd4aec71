#include "config/CombKeySteps.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct StepsCase {
    const char* label;
    std::wstring text;
    std::vector<CombKeyStep> expected;
};

void PrintTo(const StepsCase& row, std::ostream* out) { *out << row.label; }

class CombKeyStepsTest : public testing::TestWithParam<StepsCase> {};

TEST_P(CombKeyStepsTest, ParsesSteps)
{
    EXPECT_EQ(parseCombKeySteps(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CombKeyStepsTest,
    testing::Values(
        StepsCase{"SpacesAroundEverything", L" 17 : 5 , 65:0", {{17, 5}, {65, 0}}},
        StepsCase{"CodeWithoutDelay", L"17", {{17, 0}}},
        StepsCase{"CodeWithEmptyDelay", L"17:", {{17, 0}}},
        StepsCase{"LeadingAndTrailingCommas", L",,17:5,,", {{17, 5}}},
        StepsCase{"DoubledCommaBetweenSteps", L"17:5,,65:3", {{17, 5}, {65, 3}}},
        StepsCase{"ThirdPartIgnored", L"17:5:9", {{17, 5}}},
        StepsCase{"SpaceInsideNumberIsRemoved", L"1 7:5 0", {{17, 50}}},
        StepsCase{"TabIsNotRemovedButSkippedAsLeadingWhiteSpace", L"\t17:\t5", {{17, 5}}},
        StepsCase{"TabAfterDigitsEndsTheNumber", L"1\t7:5", {{1, 5}}},
        StepsCase{"NegativeParts", L"-1:-2", {{-1, -2}}},
        StepsCase{"TrailingTextAfterDigits", L"17x:5ms", {{17, 5}}},
        StepsCase{"MissingCodeGivesZero", L":5", {{0, 5}}},
        StepsCase{"NonNumericPartsGiveZero", L"a:b", {{0, 0}}},
        StepsCase{"CodeBeyondRangeSaturates", L"99999999999:1", {{2147483647, 1}}},
        StepsCase{"ColonsOnlyYieldNoStep", L"::,17:5,:", {{17, 5}}},
        StepsCase{"Empty", L"", {}},
        StepsCase{"OnlyCommasAndSpaces", L" , ,, ", {}}),
    [](const testing::TestParamInfo<StepsCase>& info) { return std::string(info.param.label); });

} // namespace
