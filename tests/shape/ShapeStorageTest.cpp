#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "shape/Channels.h"
#include "shape/Shape.h"

namespace {

using IntArray = ShapeType<int, -1, 3, 1>;
using TextArray = ShapeType<std::wstring, -1, 3, 0>;

std::vector<int> valuesOf(const IntArray& shape)
{
    return shape.data() == nullptr ? std::vector<int>{}
                                   : std::vector<int>(shape.data(), shape.data() + shape.length());
}

IntArray makeInts(const std::vector<int>& values, uint32_t index)
{
    IntArray shape;
    shape.assign(values.data(), static_cast<uint32_t>(values.size()), 0);
    shape.selection().setIndex(index);
    return shape;
}

TEST(ShapeConstruction, PrivateInstanceStartsWithInitialLengthOfResetElements)
{
    const IntArray ints;
    EXPECT_EQ(valuesOf(ints), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(ints.index(), 0u);
    EXPECT_EQ(ints.channelId(), -1);
    EXPECT_EQ(ints.typeName(), std::type_index(typeid(int)));
    EXPECT_EQ(ints.owner(), nullptr);

    const ShapeType<int, -1, 0, 1> empty;
    EXPECT_EQ(empty.length(), 0u);
    EXPECT_EQ(empty.data(), nullptr);
}

struct AssignRow {
    const char* name;
    std::vector<int> before;
    uint32_t indexBefore;
    std::function<void(IntArray&)> write;
    std::vector<int> after;
    uint32_t indexAfter;
};

class AssignTest : public testing::TestWithParam<AssignRow> {};

TEST_P(AssignTest, ResultsInArrayAndClampedIndex)
{
    const AssignRow& row = GetParam();
    IntArray shape = makeInts(row.before, row.indexBefore);
    row.write(shape);
    EXPECT_EQ(valuesOf(shape), row.after);
    EXPECT_EQ(shape.length(), row.after.size());
    EXPECT_EQ(shape.index(), row.indexAfter);
}

const int kSource[] = {7, 8, 9, 10};

INSTANTIATE_TEST_SUITE_P(
    Writes, AssignTest,
    testing::Values(
        AssignRow{"ZeroLengthEmpties", {1, 2, 3}, 2, [](IntArray& s) { s.assign(kSource, 0, 0); }, {}, 0},
        AssignRow{"OwnArrayChangesNothing", {1, 2, 3}, 1, [](IntArray& s) { s.assign(s.data(), 3, 0); },
                  {1, 2, 3}, 1},
        AssignRow{"FillCopiesFirstSourceElement", {1, 2, 3}, 2, [](IntArray& s) { s.assign(kSource, 4, 1); },
                  {7, 7, 7, 7}, 2},
        AssignRow{"FillFromOwnElement", {1, 2, 3}, 0, [](IntArray& s) { s.assign(s.data() + 2, 5, 1); },
                  {3, 3, 3, 3, 3}, 0},
        AssignRow{"SameLengthCopiesOver", {1, 2, 3}, 2, [](IntArray& s) { s.assign(kSource, 3, 0); },
                  {7, 8, 9}, 2},
        AssignRow{"ShorterMovesIndexToLast", {1, 2, 3}, 2, [](IntArray& s) { s.assign(kSource, 2, 0); },
                  {7, 8}, 1},
        AssignRow{"LongerKeepsIndex", {1, 2}, 1, [](IntArray& s) { s.assign(kSource, 4, 0); }, {7, 8, 9, 10},
                  1},
        AssignRow{"FromOwnTail", {1, 2, 3}, 0, [](IntArray& s) { s.assign(s.data() + 1, 2, 0); }, {2, 3}, 0},
        AssignRow{"ResetSameLengthZeroes", {1, 2, 3}, 2, [](IntArray& s) { s.assign(nullptr, 3, 0); },
                  {0, 0, 0}, 2},
        AssignRow{"ResetOtherLength", {1, 2, 3}, 2, [](IntArray& s) { s.assign(nullptr, 1, 0); }, {0}, 0},
        AssignRow{"AppendFillKeepsIndex", {1, 2}, 1, [](IntArray& s) { s.appendFill(5, 2); }, {1, 2, 5, 5}, 1},
        AssignRow{"AppendArrayCopies", {1}, 0, [](IntArray& s) { s.appendArray(kSource, 2); }, {1, 7, 8}, 0},
        AssignRow{"AppendOwnArray", {1, 2}, 0, [](IntArray& s) { s.appendArray(s.data(), 2); }, {1, 2, 1, 2},
                  0},
        AssignRow{"AppendResetElements", {1}, 0, [](IntArray& s) { s.appendArray(nullptr, 2); }, {1, 0, 0},
                  0},
        AssignRow{"AppendOne", {}, 0, [](IntArray& s) { s.appendOne(4); }, {4}, 0},
        AssignRow{"StoreCurrent", {1, 2, 3}, 1, [](IntArray& s) { s.storeCurrent(6); }, {1, 6, 3}, 1}),
    [](const testing::TestParamInfo<AssignRow>& info) { return info.param.name; });

TEST(ZeroFillReset, ClearsRecordsOnlyWhenTheFlagIsSet)
{
    ShapeType<DpiDat, -1, 2, 1> zeroFilled;
    ShapeType<DpiDat, -1, 2, 0> kept;
    const DpiDat custom{5, 1, 2, 3, 4};
    zeroFilled.fillArray(custom, 2, 0, 0u);
    kept.fillArray(custom, 2, 0, 0u);

    zeroFilled.assign(nullptr, 2, 0);
    kept.assign(nullptr, 2, 0);

    EXPECT_EQ(zeroFilled.at(1), (DpiDat{0, 0, 0, 0, 0}));
    EXPECT_EQ(kept.at(1), custom);

    kept.assign(nullptr, 3, 0);
    EXPECT_EQ(kept.at(2), DpiDat{}) << "a new length default-constructs when Z = 0";
}

TEST(ZeroFillReset, TextElementsKeepTheirContentOnResetOfSameLength)
{
    TextArray texts;
    texts.at(0) = L"kept";
    texts.assign(nullptr, 3, 0);
    EXPECT_EQ(texts.at(0), L"kept");
    texts.appendArray(nullptr, 1);
    EXPECT_EQ(texts.at(3), L"");
}

struct CompareRow {
    const char* name;
    std::vector<int> array;
    std::function<bool(const IntArray&)> compare;
    bool expected;
};

class CompareTest : public testing::TestWithParam<CompareRow> {};

TEST_P(CompareTest, Answers)
{
    const CompareRow& row = GetParam();
    const IntArray shape = makeInts(row.array, 0);
    EXPECT_EQ(row.compare(shape), row.expected);
}

const int kOneTwoThree[] = {1, 2, 3};
const int kOneTwoFour[] = {1, 2, 4};

INSTANTIATE_TEST_SUITE_P(
    Comparisons, CompareTest,
    testing::Values(
        CompareRow{"EqualArray", {1, 2, 3}, [](const IntArray& s) { return s.equalsArray(kOneTwoThree, 3); }, true},
        CompareRow{"OneElementDiffers", {1, 2, 3}, [](const IntArray& s) { return s.equalsArray(kOneTwoFour, 3); },
                   false},
        CompareRow{"LengthDiffers", {1, 2, 3}, [](const IntArray& s) { return s.equalsArray(kOneTwoThree, 2); },
                   false},
        CompareRow{"NullSourceAgainstValues", {1, 2, 3}, [](const IntArray& s) { return s.equalsArray(nullptr, 3); },
                   false},
        CompareRow{"NullSourceAgainstEmpty", {}, [](const IntArray& s) { return s.equalsArray(nullptr, 0); }, true},
        CompareRow{"OwnArray", {1, 2, 3}, [](const IntArray& s) { return s.equalsArray(s.data(), 3); }, true},
        CompareRow{"FilledWith", {5, 5}, [](const IntArray& s) { return s.isFilledWith(5, 2); }, true},
        CompareRow{"NotFilledWith", {5, 6}, [](const IntArray& s) { return s.isFilledWith(5, 2); }, false},
        CompareRow{"EmptyIsNotFilled", {}, [](const IntArray& s) { return s.isFilledWith(5, 0); }, false},
        CompareRow{"FilledWrongLength", {5, 5}, [](const IntArray& s) { return s.isFilledWith(5, 3); }, false},
        CompareRow{"EqualsCurrent", {5, 6}, [](const IntArray& s) { return s.equalsCurrent(5); }, true},
        CompareRow{"DiffersFromCurrent", {5, 6}, [](const IntArray& s) { return s.equalsCurrent(6); }, false}),
    [](const testing::TestParamInfo<CompareRow>& info) { return info.param.name; });

struct OutOfRangeRow {
    const char* name;
    std::vector<int> array;
    uint32_t index;
    std::function<void(IntArray&)> access;
    const wchar_t* message;
};

class OutOfRangeTest : public testing::TestWithParam<OutOfRangeRow> {};

TEST_P(OutOfRangeTest, ThrowsWithLengthAndIndex)
{
    const OutOfRangeRow& row = GetParam();
    IntArray shape = makeInts(row.array, row.index);
    try {
        row.access(shape);
        FAIL() << "no ShapeException";
    } catch (const ShapeException& error) {
        EXPECT_EQ(error.message(), row.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Accesses, OutOfRangeTest,
    testing::Values(
        OutOfRangeRow{"CurrentOfEmpty", {}, 0, [](IntArray& s) { (void)s.current(); },
                      L"Out of range( array length \"0\", access index \"0\""},
        OutOfRangeRow{"AtPastTheEnd", {1, 2, 3}, 0, [](IntArray& s) { (void)s.at(3); },
                      L"Out of range( array length \"3\", access index \"3\""},
        OutOfRangeRow{"AtCurrentWithIndexPastTheEnd", {1, 2}, 5, [](IntArray& s) { (void)s.at(-1); },
                      L"Out of range( array length \"2\", access index \"5\""},
        OutOfRangeRow{"StoreIntoEmpty", {}, 0, [](IntArray& s) { s.storeCurrent(1); },
                      L"Out of range( array length \"0\", access index \"0\""},
        OutOfRangeRow{"SetCurrentOfEmpty", {}, 0, [](IntArray& s) { s.setCurrentValue(1, 0, true, true); },
                      L"Out of range( array length \"0\", access index \"0\""}),
    [](const testing::TestParamInfo<OutOfRangeRow>& info) { return info.param.name; });

TEST(ShapeReading, NegativeIndexReadsTheCurrentElement)
{
    IntArray shape = makeInts({4, 5, 6}, 1);
    EXPECT_EQ(shape.at(-1), 5);
    EXPECT_EQ(shape.current(), 5);
    EXPECT_EQ(*shape.tryAt(-1), 5);
    EXPECT_EQ(*shape.tryAt(2), 6);
    EXPECT_EQ(shape.tryAt(7), nullptr);
    EXPECT_EQ(shape.tryAt(3), nullptr);
}

TEST(ShapeException, MessageFitsItsBufferWithLargeNumbers)
{
    const ShapeException error = ShapeException::outOfRange(4000000000u, 7);
    EXPECT_EQ(error.message(), L"Out of range( array length \"-294967296\", access index \"7\"");
}

}  // namespace
