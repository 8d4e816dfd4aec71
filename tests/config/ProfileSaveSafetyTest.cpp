#include "config/ProfileStore.h"

#include "ProfileTestSupport.h"
#include "ScopedLimits.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const std::string kEmptyStoreFile = "<?xml version=\"1.0\"?>\n<profile sel=\"0\" />\n";

fs::path asidePath(const TempDir& dir, const char* suffix = ".unreadable")
{
    return dir / (std::string("msprofile.xml") + suffix);
}

// A store with enough content that its file does not fit a small size limit.
ProfileStore largeStoreIn(const TempDir& dir)
{
    ProfileGroup group;
    group.macros = {MacroGroup{std::wstring(20000, L'm'), {}}};
    return storeIn(dir, 0, {group});
}

struct BrokenCase {
    const char* label;
    std::string contents;
};

void PrintTo(const BrokenCase& row, std::ostream* out) { *out << row.label; }

class UnreadableProfileTest : public testing::TestWithParam<BrokenCase> {};

// A file the program cannot read still holds the user's macros; the first
// save keeps it beside the new one instead of overwriting it.
TEST_P(UnreadableProfileTest, FirstSaveKeepsUnreadableFileAside)
{
    TempDir dir;
    writeFile(profilePath(dir), GetParam().contents);
    ProfileStore store = storeIn(dir);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(loadProfileStore(store, kMouseProfileFileName));
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_EQ(message.rfind("mousecfg: cannot read " + profilePath(dir).string() + ": ", 0), 0u) << message;

    ASSERT_TRUE(saveProfileStore(store));
    EXPECT_EQ(readFile(asidePath(dir)), GetParam().contents);
    EXPECT_EQ(readFile(profilePath(dir)), kEmptyStoreFile);

    // The new file is the store's own: later saves simply replace it.
    ASSERT_TRUE(saveProfileStore(store));
    EXPECT_FALSE(fs::exists(asidePath(dir, ".unreadable.1")));
    EXPECT_EQ(readFile(asidePath(dir)), GetParam().contents);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnreadableProfileTest,
    testing::Values(BrokenCase{"UnclosedElements", "<profile sel=\"0\"><group><macro sel=\"0\"><group name=\"mine\">"},
                    BrokenCase{"EmptyFile", ""},
                    BrokenCase{"OnlyDeclaration", "<?xml version=\"1.0\"?>\n"},
                    BrokenCase{"MismatchedTags", "<profile></group>"},
                    BrokenCase{"BinaryGarbage", std::string("\x00\x01\xFF\xFEgarbage", 12)}),
    [](const testing::TestParamInfo<BrokenCase>& info) { return std::string(info.param.label); });

TEST(UnreadableProfileTest, EarlierKeptFileIsNotOverwritten)
{
    TempDir dir;
    writeFile(asidePath(dir), "kept last time");
    writeFile(profilePath(dir), "<profile>");
    ProfileStore store = storeIn(dir);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(loadProfileStore(store, kMouseProfileFileName));
    testing::internal::GetCapturedStderr();

    ASSERT_TRUE(saveProfileStore(store));
    EXPECT_EQ(readFile(asidePath(dir)), "kept last time");
    EXPECT_EQ(readFile(asidePath(dir, ".unreadable.1")), "<profile>");
}

// A save that fails leaves the unreadable file where it was; the next save
// that succeeds still keeps it aside.
TEST(UnreadableProfileTest, FailedSaveKeepsUnreadableFileAndRetriesLater)
{
    TempDir dir;
    writeFile(profilePath(dir), "<profile>");
    ProfileStore store = largeStoreIn(dir);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(loadProfileStore(store, kMouseProfileFileName));
    testing::internal::GetCapturedStderr();

    {
        const ScopedFileSizeLimit diskFull(1024);
        EXPECT_FALSE(saveProfileStore(store));
    }
    EXPECT_EQ(readFile(profilePath(dir)), "<profile>");
    EXPECT_FALSE(fs::exists(asidePath(dir)));

    ASSERT_TRUE(saveProfileStore(store));
    EXPECT_EQ(readFile(asidePath(dir)), "<profile>");
}

TEST(UnreadableProfileTest, FileWithoutReadPermissionIsKeptAside)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    TempDir dir;
    writeFile(profilePath(dir), "<profile sel=\"0\"/>");
    fs::permissions(profilePath(dir), fs::perms::none);
    ProfileStore store = storeIn(dir);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(loadProfileStore(store, kMouseProfileFileName));
    EXPECT_NE(testing::internal::GetCapturedStderr(), "");

    ASSERT_TRUE(saveProfileStore(store));
    fs::permissions(asidePath(dir), fs::perms::owner_read);
    EXPECT_EQ(readFile(asidePath(dir)), "<profile sel=\"0\"/>");
}

TEST(ProfileSaveTest, ReadableFileIsReplacedWithoutKeepingACopy)
{
    TempDir dir;
    writeFile(profilePath(dir), "<profile sel=\"4\"/>");
    ProfileStore store = storeIn(dir);
    ASSERT_TRUE(loadProfileStore(store, kMouseProfileFileName));
    store.sel = 0;
    ASSERT_TRUE(saveProfileStore(store));
    EXPECT_EQ(readFile(profilePath(dir)), kEmptyStoreFile);
    EXPECT_FALSE(fs::exists(asidePath(dir)));
}

TEST(ProfileSaveTest, MissingFileIsCreatedForTheUserOnly)
{
    TempDir dir;
    const ScopedUmask mask(0022);
    ProfileStore store = storeIn(dir);
    EXPECT_FALSE(loadProfileStore(store, kMouseProfileFileName));
    ASSERT_TRUE(saveProfileStore(store));
    struct stat info {};
    ASSERT_EQ(::stat(profilePath(dir).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_FALSE(fs::exists(asidePath(dir)));
}

// A full disk must not leave a truncated profile under the real name.
TEST(ProfileSaveTest, FailedSaveLeavesPreviousFileIntact)
{
    TempDir dir;
    ProfileStore store = largeStoreIn(dir);
    ASSERT_TRUE(saveProfileStore(store));
    const std::string previous = readFile(profilePath(dir));

    store.groups[0].macros[0].name = std::wstring(30000, L'n');
    {
        const ScopedFileSizeLimit diskFull(previous.size() / 2);
        EXPECT_FALSE(saveProfileStore(store));
    }
    EXPECT_EQ(readFile(profilePath(dir)), previous);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(ProfileSaveTest, MissingDirectoryFails)
{
    TempDir dir;
    ProfileStore store = storeIn(dir);
    store.directory = dir / "absent";
    EXPECT_FALSE(saveProfileStore(store));
    EXPECT_FALSE(fs::exists(dir / "absent"));
}

TEST(ProfileSaveTest, TemporaryLeftByKilledSaveIsCleanedUp)
{
    TempDir dir;
    writeFile(dir / "msprofile.xml.tmp", "<profile sel=\"0\"><gro");
    ProfileStore store = storeIn(dir);
    ASSERT_TRUE(saveProfileStore(store));
    EXPECT_FALSE(fs::exists(dir / "msprofile.xml.tmp"));
    EXPECT_EQ(readFile(profilePath(dir)), kEmptyStoreFile);
}

} // namespace
