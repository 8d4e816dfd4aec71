#include "ui/MacroFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class MacroFiles : public testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("editor_macrofile_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    void writeText(const fs::path& path, const char* text) { std::ofstream(path) << text; }

    fs::path dir;
};

TEST_F(MacroFiles, RoundTripGivesEqualGroups)
{
    const std::vector<MacroGroup> groups = {
        {L"Group 0", {{0x41, 0, 120, L"A"}, {0x41, 1, 300, L"A"}, {0x1A3, 0, 0, L"CtrlRight"}}},
        {L"\u5b8f <&\"'>", {{0x0D, 2, -1, L""}}},
        {L"", {}},
    };
    const fs::path file = dir / "macros.xml";
    ASSERT_TRUE(writeMacroFile(file, groups));
    std::vector<MacroGroup> read;
    ASSERT_EQ(readMacroFile(file, read), MacroFileResult::Ok);
    EXPECT_EQ(read, groups);
}

struct BadFile {
    const char* label;
    const char* text;  // null: the file does not exist
    MacroFileResult result;
};

const BadFile kBadFiles[] = {
    {"Missing", nullptr, MacroFileResult::Unreadable},
    {"NotXml", "Group 0: A down, A up", MacroFileResult::Unreadable},
    {"ProfileFile", "<profile sel=\"0\"><group/></profile>", MacroFileResult::NotMacroFile},
    {"OtherRoot", "<macros><group name=\"x\"/></macros>", MacroFileResult::NotMacroFile},
};

class BadMacroFiles : public MacroFiles, public testing::WithParamInterface<BadFile> {};

TEST_P(BadMacroFiles, AreRefusedWithoutTouchingTheResult)
{
    const fs::path file = dir / "bad.xml";
    if (GetParam().text) {
        writeText(file, GetParam().text);
    }
    std::vector<MacroGroup> groups = {{L"kept", {}}};
    EXPECT_EQ(readMacroFile(file, groups), GetParam().result);
    EXPECT_EQ(groups, (std::vector<MacroGroup>{{L"kept", {}}}));
}

INSTANTIATE_TEST_SUITE_P(Table, BadMacroFiles, testing::ValuesIn(kBadFiles),
                         [](const testing::TestParamInfo<BadFile>& info) { return std::string(info.param.label); });

TEST(ImportedNames, TakenNamesGetTheFirstFreeSuffix)
{
    std::vector<MacroGroup> library = {{L"Fire", {}}, {L"Fire (2)", {}}, {L"Jump", {}}};
    appendImportedGroups(library, {{L"Fire", {{0x41, 0, 0, L"A"}}}, {L"Jump", {}}, {L"Jump", {}}, {L"New", {}}});
    ASSERT_EQ(library.size(), 7u);
    EXPECT_EQ(library[3].name, L"Fire (3)");
    EXPECT_EQ(library[3].items.size(), 1u);
    EXPECT_EQ(library[4].name, L"Jump (2)");
    EXPECT_EQ(library[5].name, L"Jump (3)");
    EXPECT_EQ(library[6].name, L"New");
}

}  // namespace
