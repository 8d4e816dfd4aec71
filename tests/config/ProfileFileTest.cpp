#include "config/ProfileStore.h"

#include "ProfileTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();

ProfileGroup richProfile()
{
    ProfileGroup group;
    group.id = 7;
    group.name = L"Work & \"play\" <1> 'x' \u4E2D";
    group.param = ProfileParam{2, 3, 1, 25, -1, 4, 65};
    group.macroSel = 0;
    group.macros = {
        MacroGroup{L"copy", {item(162, 0, -1, L"Ctrl"), item(-2, 1, 0)}},
        MacroGroup{L"", {}},
    };
    group.records = {
        record(-2, 1, 2, L"rec", L"grp", {item(65, 0, 10, L"A")}),
        record(2, 0, 1),
    };
    return group;
}

TEST(ProfileWriterTest, WritesExactLayout)
{
    TempDir dir;
    ProfileStore store = storeIn(dir, 1, {richProfile(), ProfileGroup{}});
    ASSERT_TRUE(saveProfileStore(store));
    EXPECT_EQ(readFile(profilePath(dir)),
              readFile(fs::path(MOUSECFG_FIXTURES_DIR) / "config" / "expected_msprofile.xml"));
}

TEST(ProfileWriterTest, EmptyStoreWritesOnlyProfileWithSel)
{
    TempDir dir;
    ProfileStore store = storeIn(dir, 0);
    ASSERT_TRUE(saveProfileStore(store));
    EXPECT_EQ(readFile(profilePath(dir)), "<?xml version=\"1.0\"?>\n<profile sel=\"0\" />\n");
}

TEST(ProfileWriterTest, WritesUnderTheStoresFileName)
{
    TempDir dir;
    ProfileStore store = storeIn(dir, -1);
    store.fileName = kKeyboardProfileFileName;
    ASSERT_TRUE(saveProfileStore(store));
    EXPECT_EQ(readFile(dir / "kbprofile.xml"), "<?xml version=\"1.0\"?>\n<profile sel=\"-1\" />\n");
    EXPECT_FALSE(fs::exists(profilePath(dir)));
}

struct RoundTripCase {
    const char* label;
    int32_t sel;
    std::vector<ProfileGroup> groups;
};

void PrintTo(const RoundTripCase& row, std::ostream* out) { *out << row.label; }

class ProfileRoundTripTest : public testing::TestWithParam<RoundTripCase> {};

// Everything but the profiles' ids and names comes back from the file.
TEST_P(ProfileRoundTripTest, LoadGivesBackWhatWasSaved)
{
    TempDir dir;
    ProfileStore saved = storeIn(dir, GetParam().sel, GetParam().groups);
    ASSERT_TRUE(saveProfileStore(saved));

    ProfileStore loaded = storeIn(dir);
    ASSERT_TRUE(loadProfileStore(loaded, kMouseProfileFileName));
    EXPECT_EQ(loaded.sel, GetParam().sel);
    std::vector<ProfileGroup> expected;
    for (const ProfileGroup& group : GetParam().groups)
        expected.push_back(withoutIdAndName(group));
    EXPECT_EQ(loaded.groups, expected);
}

ProfileGroup profileWithText(const std::wstring& text)
{
    ProfileGroup group;
    group.macros = {MacroGroup{text, {item(1, 0, 2, text)}}};
    group.records = {record(3, 1, 1, text, text, {item(4, 1, 5, text)})};
    return group;
}

ProfileGroup profileWithExtremes()
{
    ProfileGroup group;
    group.param = ProfileParam{kIntMin, kIntMax, -3, kIntMin, kIntMax, -1, kIntMin};
    group.macroSel = kIntMax;
    group.macros = {MacroGroup{L"m", {item(kIntMax, kIntMax, kIntMax)}}};
    group.records = {record(kIntMin, kIntMax, kIntMin)};
    return group;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileRoundTripTest,
    testing::Values(
        RoundTripCase{"Empty", 0, {}},
        RoundTripCase{"SelMinusOneAndDefaultProfile", -1, {ProfileGroup{}}},
        RoundTripCase{"RichProfileWithoutNegativeItems", 1,
                      {[] {
                           ProfileGroup group = richProfile();
                           group.macros[0].items = {item(162, 0, 5, L"Ctrl"), item(0, 1, 0)};
                           return group;
                       }(),
                       ProfileGroup{}}},
        RoundTripCase{"RichProfileWithNegativeItems", 1, {richProfile(), ProfileGroup{}}},
        RoundTripCase{"ExtremeIntegers", kIntMin, {profileWithExtremes()}},
        RoundTripCase{"MarkupCharacters", 0, {profileWithText(L"<a href=\"x\">&amp;</a> 'q'")}},
        RoundTripCase{"LineBreaksAndTabs", 0, {profileWithText(L"one\ntwo\tthree\r\nfour")}},
        RoundTripCase{"LeadingAndTrailingSpaces", 0, {profileWithText(L"  padded  ")}},
        RoundTripCase{"NonAsciiText", 0, {profileWithText(L"\u4E2D\u6587 \u00E9 \U0001F600")}},
        RoundTripCase{"ManyProfilesKeepOrder", 2,
                      {profileWithText(L"first"), profileWithText(L"second"), profileWithText(L"third")}}),
    [](const testing::TestParamInfo<RoundTripCase>& info) { return std::string(info.param.label); });

TEST(ProfileRoundTripTest, IdAndNameAreNotReadBack)
{
    TempDir dir;
    ProfileGroup group;
    group.id = 7;
    group.name = L"Profile";
    ProfileStore saved = storeIn(dir, 0, {group});
    ASSERT_TRUE(saveProfileStore(saved));

    ProfileStore loaded = storeIn(dir);
    ASSERT_TRUE(loadProfileStore(loaded, kMouseProfileFileName));
    ASSERT_EQ(loaded.groups.size(), 1u);
    EXPECT_EQ(loaded.groups[0].id, -1);
    EXPECT_EQ(loaded.groups[0].name, L"");
}

struct ItemValueCase {
    const char* label;
    int32_t written;
    const char* fileText;
    int32_t readBack;
};

void PrintTo(const ItemValueCase& row, std::ostream* out) { *out << row.label; }

class ProfileItemValueTest : public testing::TestWithParam<ItemValueCase> {};

// Item fields are written unsigned and read back the same way, so every
// value, negative ones included, survives the trip through the file.
TEST_P(ProfileItemValueTest, ItemFieldsWrittenUnsignedReadBackUnchanged)
{
    const ItemValueCase& row = GetParam();
    TempDir dir;
    ProfileGroup group;
    group.macros = {MacroGroup{L"m", {item(row.written, row.written, row.written)}}};
    ProfileStore saved = storeIn(dir, 0, {group});
    ASSERT_TRUE(saveProfileStore(saved));

    pugi::xml_document document;
    ASSERT_TRUE(document.load_file(profilePath(dir).c_str()));
    const pugi::xml_node written = document.child("profile").child("group").child("macro").child("group").child("item");
    for (const char* name : {"code", "state", "delay"})
        EXPECT_STREQ(written.attribute(name).value(), row.fileText) << name;

    ProfileStore loaded = storeIn(dir);
    ASSERT_TRUE(loadProfileStore(loaded, kMouseProfileFileName));
    ASSERT_EQ(loaded.groups.size(), 1u);
    ASSERT_EQ(loaded.groups[0].macros.size(), 1u);
    EXPECT_EQ(loaded.groups[0].macros[0].items, (std::vector<MacroItem>{item(row.readBack, row.readBack, row.readBack)}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileItemValueTest,
    testing::Values(ItemValueCase{"MinusOne", -1, "4294967295", -1},
                    ItemValueCase{"Smallest", kIntMin, "2147483648", kIntMin},
                    ItemValueCase{"Largest", kIntMax, "2147483647", kIntMax},
                    ItemValueCase{"Zero", 0, "0", 0},
                    ItemValueCase{"Positive", 300, "300", 300}),
    [](const testing::TestParamInfo<ItemValueCase>& info) { return std::string(info.param.label); });

struct ReadCase {
    const char* label;
    std::string xml;
    int32_t sel;
    std::vector<ProfileGroup> groups;
};

void PrintTo(const ReadCase& row, std::ostream* out) { *out << row.label; }

class ProfileReaderTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ProfileReaderTest, ReadsTolerantly)
{
    TempDir dir;
    writeFile(profilePath(dir), GetParam().xml);
    ProfileStore store = storeIn(dir);
    ASSERT_TRUE(loadProfileStore(store, kMouseProfileFileName));
    EXPECT_EQ(store.sel, GetParam().sel);
    EXPECT_EQ(store.groups, GetParam().groups);
}

ProfileGroup withParam(ProfileParam param)
{
    ProfileGroup group;
    group.param = param;
    return group;
}

ProfileGroup withMacros(int32_t macroSel, std::vector<MacroGroup> macros)
{
    ProfileGroup group;
    group.macroSel = macroSel;
    group.macros = std::move(macros);
    return group;
}

ProfileGroup withRecords(std::vector<RecordGroup> records)
{
    ProfileGroup group;
    group.records = std::move(records);
    return group;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileReaderTest,
    testing::Values(
        ReadCase{"NoProfileElement", "<other sel=\"3\"/>", -1, {}},
        ReadCase{"ProfileWithoutSel", "<profile/>", -1, {}},
        ReadCase{"ProfileNotFirstTopLevelElement", "<x/><profile sel=\"2\"/>", 2, {}},
        ReadCase{"FirstOfTwoProfileElements", "<profile sel=\"1\"><g/></profile><profile sel=\"2\"><g/><g/></profile>",
                 1, {ProfileGroup{}}},
        ReadCase{"MalformedSelConverted", "<profile sel=\" 1abc\"/>", 1, {}},
        ReadCase{"ProfileWithoutChildren", "<profile sel=\"0\"><group id=\"3\" name=\"n\"/></profile>", 0,
                 {ProfileGroup{}}},
        ReadCase{"ParamWithOnlyRepeat", "<profile><group><param repeat=\"5\"/></group></profile>", -1,
                 {withParam(ProfileParam{0, 5, 0, 10, 0, 0, 0})}},
        ReadCase{"ParamAllAttributes",
                 "<profile><group><param page=\"3\" repeat=\"2\" dlmode=\"7\" delay=\"-4\" media=\"-1\" "
                 "function=\"6\" skcode=\"65\"/></group></profile>",
                 -1, {withParam(ProfileParam{3, 2, 7, -4, -1, 6, 65})}},
        ReadCase{"ParamValuesSaturate", "<profile><group><param delay=\"99999999999\" media=\"-99999999999\"/></group></profile>",
                 -1, {withParam(ProfileParam{0, 1, 0, kIntMax, kIntMin, 0, 0})}},
        ReadCase{"MacroWithoutSel", "<profile><group><macro><group name=\"m\"/></macro></group></profile>", -1,
                 {withMacros(-1, {MacroGroup{L"m", {}}})}},
        ReadCase{"MacroItemsDefaults",
                 "<profile><group><macro sel=\"0\"><group><item/><item code=\"5\" name=\"x\"/></group></macro></group></profile>",
                 -1, {withMacros(0, {MacroGroup{L"", {item(0, 0, 0), item(5, 0, 0, L"x")}}})}},
        ReadCase{"RecordDefaults", "<profile><group><record><group/></record></group></profile>", -1,
                 {withRecords({record(0, 0, 1)})}},
        ReadCase{"RecordAllAttributes",
                 "<profile><group><record><group code=\"3\" page=\"4\" repeat=\"0\" name=\"n\" group=\"g\">"
                 "<item code=\"65\" state=\"1\" delay=\"20\" name=\"A\"/></group></record></group></profile>",
                 -1, {withRecords({record(3, 4, 0, L"n", L"g", {item(65, 1, 20, L"A")})})}},
        ReadCase{"ChildrenCountByPositionWhateverTheirNames",
                 "<profile sel=\"1\"><item><macro><x name=\"a\"><y code=\"1\"/></x></macro></item>"
                 "<p><record><z code=\"2\"><w delay=\"3\"/></z></record></p></profile>",
                 1,
                 {withMacros(-1, {MacroGroup{L"a", {item(1, 0, 0)}}}),
                  withRecords({record(2, 0, 1, L"", L"", {item(0, 0, 3)})})}},
        ReadCase{"TextCommentsAndInstructionsAreNotElements",
                 "<profile>text<!-- note --><?pi x?><group>more<record>t<group/>u</record></group>tail</profile>",
                 -1, {withRecords({record(0, 0, 1)})}},
        ReadCase{"SectionsFoundByNameInAnyOrder",
                 "<profile><group><record><group code=\"1\"/></record><macro sel=\"0\"><group name=\"m\"/></macro>"
                 "<param skcode=\"9\"/></group></profile>",
                 -1,
                 {[] {
                      ProfileGroup group = withMacros(0, {MacroGroup{L"m", {}}});
                      group.param.skcode = 9;
                      group.records = {record(1, 0, 1)};
                      return group;
                  }()}},
        ReadCase{"EscapesExpanded",
                 "<profile><group><macro><group name=\"a&amp;b &#x4E2D;\"/></macro></group></profile>", -1,
                 {withMacros(-1, {MacroGroup{L"a&b \u4E2D", {}}})}}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.label); });

TEST(ProfileReaderTest, LoadingAppends)
{
    TempDir dir;
    writeFile(profilePath(dir), "<profile sel=\"1\"><group><param skcode=\"4\"/></group></profile>");
    ProfileStore store = storeIn(dir);
    ASSERT_TRUE(loadProfileStore(store, kMouseProfileFileName));
    ASSERT_TRUE(loadProfileStore(store, kMouseProfileFileName));
    EXPECT_EQ(store.sel, 1);
    const ProfileGroup expected = withParam(ProfileParam{0, 1, 0, 10, 0, 0, 4});
    EXPECT_EQ(store.groups, (std::vector<ProfileGroup>{expected, expected}));
}

TEST(ProfileReaderTest, ReadsTheGivenFileName)
{
    TempDir dir;
    writeFile(dir / "kbprofile.xml", "<profile sel=\"3\"/>");
    ProfileStore store = storeIn(dir);
    EXPECT_TRUE(loadProfileStore(store, kKeyboardProfileFileName));
    EXPECT_EQ(store.sel, 3);
}

TEST(ProfileReaderTest, MissingFileLeavesStoreAndPrintsNothing)
{
    TempDir dir;
    ProfileStore store = storeIn(dir);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(loadProfileStore(store, kMouseProfileFileName));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(store.sel, 0);
    EXPECT_TRUE(store.groups.empty());
    EXPECT_FALSE(store.keepUnreadableFile);
}

TEST(ProfileReaderTest, MalformedFileLeavesStoreAndReportsParserError)
{
    const std::string xml = "<profile sel=\"2\"><group><param repeat=\"3\"/></group>";
    pugi::xml_document reference;
    const pugi::xml_parse_result parsed = reference.load_string(xml.c_str());
    ASSERT_FALSE(parsed);

    TempDir dir;
    writeFile(profilePath(dir), xml);
    ProfileStore store = storeIn(dir, 0, {ProfileGroup{}});
    testing::internal::CaptureStderr();
    EXPECT_FALSE(loadProfileStore(store, kMouseProfileFileName));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "mousecfg: cannot read " + profilePath(dir).string() + ": " + parsed.description() + " at offset "
                  + std::to_string(parsed.offset) + "\n");
    EXPECT_EQ(store.sel, 0);
    EXPECT_EQ(store.groups, (std::vector<ProfileGroup>{ProfileGroup{}}));
}

} // namespace
