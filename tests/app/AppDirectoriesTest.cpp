#include "app/AppDirectories.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>

namespace {

namespace fs = std::filesystem;

// Where the package sits in a case.
enum class Package { besideExecutable, inDataDir, both, nowhere };

struct DirectoryCase {
    const char* name;
    Package package;
    const char* xdgConfigHome;  // relative to the temp dir when not empty and not starting with '!'
    const char* home;
    bool expectFound;
    bool expectInstalled;
    const char* expectProfileDir;  // relative to the temp dir; "" for the executable's directory
};

// Test output names the row, not its bytes.
void PrintTo(const DirectoryCase& row, std::ostream* out) { *out << row.name; }

class AppDirectoriesTest : public testing::TestWithParam<DirectoryCase> {};

TEST_P(AppDirectoriesTest, FollowsThePackage)
{
    const DirectoryCase& c = GetParam();
    TempDir temp;
    const fs::path bin = temp.path() / "prefix/bin";
    const fs::path data = temp.path() / "prefix/share/mousecfg";
    fs::create_directories(bin);
    fs::create_directories(data);
    if (c.package == Package::besideExecutable || c.package == Package::both) {
        fs::create_directories(bin / "uires");
    }
    if (c.package == Package::inDataDir || c.package == Package::both) {
        fs::create_directories(data / "uires");
    }
    UserEnvironment environment;
    const std::string xdg = c.xdgConfigHome;
    environment.xdgConfigHome = xdg.empty() || xdg[0] == '!' ? xdg.substr(xdg.empty() ? 0 : 1)
                                                                : (temp.path() / xdg).string();
    environment.home = *c.home ? (temp.path() / c.home).string() : std::string();

    const auto directories = resolveAppDirectories(bin, bin / "../share/mousecfg", environment);
    ASSERT_EQ(directories.has_value(), c.expectFound);
    if (!c.expectFound) {
        return;
    }
    EXPECT_EQ(directories->installed, c.expectInstalled);
    EXPECT_EQ(directories->resourceDir, c.expectInstalled ? data : bin);
    const fs::path expectedProfiles = *c.expectProfileDir ? temp.path() / c.expectProfileDir : bin;
    EXPECT_EQ(directories->profileDir, expectedProfiles);
}

const DirectoryCase kCases[] = {
    {"portable_copy", Package::besideExecutable, "cfg", "home", true, false, ""},
    {"beside_executable_wins", Package::both, "cfg", "home", true, false, ""},
    {"installed_with_xdg", Package::inDataDir, "cfg", "home", true, true, "cfg/mousecfg"},
    {"installed_without_xdg", Package::inDataDir, "", "home", true, true, "home/.config/mousecfg"},
    {"installed_relative_xdg_ignored", Package::inDataDir, "!relative/cfg", "home", true, true,
     "home/.config/mousecfg"},
    {"no_package", Package::nowhere, "cfg", "home", false, false, ""},
};

INSTANTIATE_TEST_SUITE_P(Layouts, AppDirectoriesTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<DirectoryCase>& info) { return info.param.name; });

TEST(UserProfileDirectoryTest, IsEmptyWithoutAnyHome)
{
    EXPECT_TRUE(userProfileDirectory(UserEnvironment{}).empty());
}

TEST(ExecutableDirectoryTest, HoldsTheRunningTest)
{
    const fs::path directory = executableDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_TRUE(fs::exists(directory / "app_tests"));
}

}  // namespace
