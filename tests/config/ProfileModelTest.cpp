#include "config/ProfileStore.h"

#include "ProfileTestSupport.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

ProfileStore storeWith(std::size_t profiles, int32_t sel)
{
    ProfileStore store;
    store.sel = sel;
    for (std::size_t i = 0; i < profiles; ++i)
        appendProfileGroup(store)->param.skcode = static_cast<int32_t>(i + 1);
    return store;
}

struct SelectionCase {
    const char* label;
    std::size_t profiles;
    int32_t sel;
    int expectedIndex; // -1: none
};

void PrintTo(const SelectionCase& row, std::ostream* out) { *out << row.label; }

class ProfileSelectionTest : public testing::TestWithParam<SelectionCase> {};

TEST_P(ProfileSelectionTest, AppliesSelectionRule)
{
    ProfileStore store = storeWith(GetParam().profiles, GetParam().sel);
    const ProfileStore& constStore = store;
    const int expected = GetParam().expectedIndex;

    ProfileGroup* group = selectedProfileGroup(store);
    ProfileParam* param = selectedProfileParam(store);
    if (expected < 0) {
        EXPECT_EQ(group, nullptr);
        EXPECT_EQ(param, nullptr);
    } else {
        EXPECT_EQ(group, &store.groups[static_cast<std::size_t>(expected)]);
        EXPECT_EQ(param, &store.groups[static_cast<std::size_t>(expected)].param);
    }
    EXPECT_EQ(selectedProfileGroup(constStore), group);
    EXPECT_EQ(selectedProfileParam(constStore), param);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileSelectionTest,
                         testing::Values(SelectionCase{"NoProfilesSelMinusOne", 0, -1, -1},
                                         SelectionCase{"NoProfilesSelZero", 0, 0, -1},
                                         SelectionCase{"MinusOneSelectsFirst", 2, -1, 0},
                                         SelectionCase{"ZeroSelectsFirst", 2, 0, 0},
                                         SelectionCase{"OneSelectsSecond", 2, 1, 1},
                                         SelectionCase{"PastTheEndSelectsNone", 2, 2, -1},
                                         SelectionCase{"MinusTwoSelectsNone", 2, -2, -1},
                                         SelectionCase{"SmallestSelectsNone", 2, INT32_MIN, -1}),
                         [](const testing::TestParamInfo<SelectionCase>& info) { return std::string(info.param.label); });

struct MacroCase {
    const char* label;
    int32_t sel;
    int32_t firstMacroSel;
    std::size_t firstMacroCount;
    int expectedIndex; // -1: none
};

void PrintTo(const MacroCase& row, std::ostream* out) { *out << row.label; }

class CurrentMacroGroupTest : public testing::TestWithParam<MacroCase> {};

// The current macro always comes from the first profile, whatever sel says.
TEST_P(CurrentMacroGroupTest, LooksAtFirstProfile)
{
    ProfileStore store = storeWith(2, GetParam().sel);
    store.groups[0].macroSel = GetParam().firstMacroSel;
    for (std::size_t i = 0; i < GetParam().firstMacroCount; ++i)
        store.groups[0].macros.push_back(MacroGroup{std::to_wstring(i), {}});
    store.groups[1].macroSel = 0;
    store.groups[1].macros = {MacroGroup{L"second profile's", {}}};
    const ProfileStore& constStore = store;

    MacroGroup* macro = currentMacroGroup(store);
    if (GetParam().expectedIndex < 0) {
        EXPECT_EQ(macro, nullptr);
    } else {
        EXPECT_EQ(macro, &store.groups[0].macros[static_cast<std::size_t>(GetParam().expectedIndex)]);
    }
    EXPECT_EQ(currentMacroGroup(constStore), macro);
}

INSTANTIATE_TEST_SUITE_P(Cases, CurrentMacroGroupTest,
                         testing::Values(MacroCase{"MinusOneIsNone", 0, -1, 2, -1},
                                         MacroCase{"EqualToCountIsNone", 0, 2, 2, -1},
                                         MacroCase{"NoMacrosIsNone", 0, 0, 0, -1},
                                         MacroCase{"FirstMacro", 0, 0, 2, 0},
                                         MacroCase{"LastMacro", 0, 1, 2, 1},
                                         MacroCase{"SelOfSecondProfileIgnored", 1, 1, 2, 1},
                                         MacroCase{"InvalidSelIgnored", 5, 0, 1, 0}),
                         [](const testing::TestParamInfo<MacroCase>& info) { return std::string(info.param.label); });

TEST(CurrentMacroGroupTest, EmptyStoreHasNone)
{
    ProfileStore store;
    EXPECT_EQ(currentMacroGroup(store), nullptr);
}

TEST(ProfileModelTest, AppendedProfileHasDefaultsAndComesLast)
{
    ProfileStore store = storeWith(1, 0);
    ProfileGroup* appended = appendProfileGroup(store);
    ASSERT_EQ(store.groups.size(), 2u);
    EXPECT_EQ(appended, &store.groups.back());
    EXPECT_EQ(*appended, ProfileGroup{});
    EXPECT_EQ(appended->id, -1);
    EXPECT_EQ(appended->macroSel, -1);
    EXPECT_EQ(appended->param, (ProfileParam{0, 1, 0, 10, 0, 0, 0}));
}

TEST(ProfileModelTest, ResetRestoresDefaultsButKeepsIdNameAndFile)
{
    TempDir dir;
    ProfileStore store = storeIn(dir, 1);
    for (int i = 0; i < 2; ++i) {
        ProfileGroup* group = appendProfileGroup(store);
        group->id = 10 + i;
        group->name = L"profile " + std::to_wstring(i);
        group->param = ProfileParam{3, 4, 2, 50, 1, 2, 65};
        group->macroSel = 0;
        group->macros = {MacroGroup{L"m", {item(1, 0, 2)}}};
        group->records = {record(1, 1, 1)};
    }
    writeFile(profilePath(dir), "untouched");

    resetProfileStore(store);

    EXPECT_EQ(store.sel, 0);
    ASSERT_EQ(store.groups.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        ProfileGroup expected;
        expected.id = 10 + i;
        expected.name = L"profile " + std::to_wstring(i);
        EXPECT_EQ(store.groups[static_cast<std::size_t>(i)], expected);
    }
    EXPECT_EQ(readFile(profilePath(dir)), "untouched");
}

TEST(ProfileModelTest, ProcessWideStoresAreDistinctSingletons)
{
    EXPECT_EQ(&keyboardProfileStore(), &keyboardProfileStore());
    EXPECT_EQ(&mouseProfileStore(), &mouseProfileStore());
    EXPECT_NE(&keyboardProfileStore(), &mouseProfileStore());
    EXPECT_EQ(mouseProfileStore().sel, 0);
    EXPECT_TRUE(mouseProfileStore().groups.empty());
}

} // namespace
