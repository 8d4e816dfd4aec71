#include "config/AtomicFile.h"

#include "ScopedLimits.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

mode_t permissionBits(const fs::path& path)
{
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

fs::path temporaryOf(const fs::path& target)
{
    fs::path temporary = target;
    temporary += kTemporarySuffix;
    return temporary;
}

TEST(AtomicFileTest, ReplacesLongerFileCompletely)
{
    TempDir dir;
    writeFile(dir / "f.xml", std::string(1000, 'x'));
    ASSERT_TRUE(writeFileAtomically(dir / "f.xml", "new"));
    EXPECT_EQ(readFile(dir / "f.xml"), "new");
    EXPECT_FALSE(fs::exists(temporaryOf(dir / "f.xml")));
}

TEST(AtomicFileTest, WritesIntoCurrentDirectoryForBareName)
{
    TempDir dir;
    const fs::path previous = fs::current_path();
    fs::current_path(dir.path());
    const bool written = writeFileAtomically("bare.xml", "text");
    fs::current_path(previous);
    ASSERT_TRUE(written);
    EXPECT_EQ(readFile(dir / "bare.xml"), "text");
}

class AtomicFileUmaskTest : public testing::TestWithParam<mode_t> {};

// Whatever the umask, the file is the user's alone and the user can still
// read and write it.
TEST_P(AtomicFileUmaskTest, CreatesFileReadableAndWritableByUserOnly)
{
    TempDir dir;
    const ScopedUmask mask(GetParam());
    ASSERT_TRUE(writeFileAtomically(dir / "new.xml", "a"));
    EXPECT_EQ(permissionBits(dir / "new.xml"), 0600u);
}

TEST_P(AtomicFileUmaskTest, ReplacedFileLosesWiderPermissions)
{
    TempDir dir;
    writeFile(dir / "old.xml", "old");
    fs::permissions(dir / "old.xml", fs::perms(0666));
    const ScopedUmask mask(GetParam());
    ASSERT_TRUE(writeFileAtomically(dir / "old.xml", "b"));
    EXPECT_EQ(permissionBits(dir / "old.xml"), 0600u);
}

INSTANTIATE_TEST_SUITE_P(Umasks, AtomicFileUmaskTest, testing::Values(0000, 0022, 0077, 0277),
                         [](const testing::TestParamInfo<mode_t>& info) {
                             return "Umask" + std::to_string(info.param);
                         });

// A save killed after creating its temporary file leaves it behind, even
// read-only; the next save clears it and succeeds.
TEST(AtomicFileTest, RemovesTemporaryLeftByInterruptedSave)
{
    TempDir dir;
    writeFile(dir / "f.xml", "old");
    writeFile(temporaryOf(dir / "f.xml"), "half writ");
    fs::permissions(temporaryOf(dir / "f.xml"), fs::perms(0400));
    ASSERT_TRUE(writeFileAtomically(dir / "f.xml", "complete"));
    EXPECT_EQ(readFile(dir / "f.xml"), "complete");
    EXPECT_FALSE(fs::exists(temporaryOf(dir / "f.xml")));
}

TEST(AtomicFileTest, BeforeReplaceSeesCompleteTemporaryAndOldTarget)
{
    TempDir dir;
    writeFile(dir / "f.xml", "old");
    std::string seenTemporary;
    std::string seenTarget;
    ASSERT_TRUE(writeFileAtomically(dir / "f.xml", "new contents", [&] {
        seenTemporary = readFile(temporaryOf(dir / "f.xml"));
        seenTarget = readFile(dir / "f.xml");
        return true;
    }));
    EXPECT_EQ(seenTemporary, "new contents");
    EXPECT_EQ(seenTarget, "old");
}

struct FailureCase {
    const char* label;
    // Prepares the directory and returns the target to write.
    std::function<fs::path(const TempDir&)> prepare;
    std::function<bool()> beforeReplace;
    bool needsNonRoot = false;
    rlim_t fileSizeLimit = RLIM_INFINITY;
};

void PrintTo(const FailureCase& row, std::ostream* out) { *out << row.label; }

const std::string kPrevious = "previous file";
const std::string kLargeContents(64 * 1024, 'n');

fs::path withPreviousFile(const TempDir& dir)
{
    writeFile(dir / "f.xml", kPrevious);
    return dir / "f.xml";
}

class AtomicFileFailureTest : public testing::TestWithParam<FailureCase> {};

// A failed save returns false, leaves whatever stood under the target name
// as it was and leaves no temporary file.
TEST_P(AtomicFileFailureTest, FailsWithoutTouchingTarget)
{
    if (GetParam().needsNonRoot && ::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    TempDir dir;
    const fs::path target = GetParam().prepare(dir);
    const bool targetExisted = fs::is_regular_file(target);
    {
        const ScopedFileSizeLimit limit(GetParam().fileSizeLimit);
        EXPECT_FALSE(writeFileAtomically(target, kLargeContents, GetParam().beforeReplace));
    }
    fs::permissions(dir.path(), fs::perms::owner_all, fs::perm_options::add);
    if (targetExisted) {
        EXPECT_EQ(readFile(target), kPrevious);
    }
    EXPECT_FALSE(fs::exists(temporaryOf(target)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AtomicFileFailureTest,
    testing::Values(
        FailureCase{"DiskFull", withPreviousFile, {}, false, 1024},
        FailureCase{"BeforeReplaceRefuses", withPreviousFile, [] { return false; }},
        FailureCase{"MissingDirectory", [](const TempDir& dir) { return dir / "missing" / "f.xml"; }, {}},
        FailureCase{"TargetIsNonEmptyDirectory",
                    [](const TempDir& dir) {
                        fs::create_directories(dir / "f.xml" / "inside");
                        return dir / "f.xml";
                    },
                    {}},
        FailureCase{"ReadOnlyDirectory",
                    [](const TempDir& dir) {
                        const fs::path target = withPreviousFile(dir);
                        fs::permissions(dir.path(), fs::perms(0500));
                        return target;
                    },
                    {}, true}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.label); });

struct AsideCase {
    const char* label;
    std::vector<std::string> alreadyAside;
    std::string expectedName;
};

void PrintTo(const AsideCase& row, std::ostream* out) { *out << row.label; }

class MoveFileAsideTest : public testing::TestWithParam<AsideCase> {};

TEST_P(MoveFileAsideTest, MovesToFirstFreeName)
{
    TempDir dir;
    writeFile(dir / "p.xml", "broken <");
    for (const std::string& name : GetParam().alreadyAside)
        writeFile(dir / name, "earlier " + name);

    ASSERT_TRUE(moveFileAside(dir / "p.xml"));
    EXPECT_FALSE(fs::exists(dir / "p.xml"));
    EXPECT_EQ(readFile(dir / GetParam().expectedName), "broken <");
    for (const std::string& name : GetParam().alreadyAside)
        EXPECT_EQ(readFile(dir / name), "earlier " + name);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MoveFileAsideTest,
    testing::Values(AsideCase{"NothingAsideYet", {}, "p.xml.unreadable"},
                    AsideCase{"OneAside", {"p.xml.unreadable"}, "p.xml.unreadable.1"},
                    AsideCase{"TwoAside", {"p.xml.unreadable", "p.xml.unreadable.1"}, "p.xml.unreadable.2"},
                    AsideCase{"GapIsFilled", {"p.xml.unreadable", "p.xml.unreadable.2"}, "p.xml.unreadable.1"}),
    [](const testing::TestParamInfo<AsideCase>& info) { return std::string(info.param.label); });

TEST(MoveFileAsideTest, MissingFileNeedsNothing)
{
    TempDir dir;
    EXPECT_TRUE(moveFileAside(dir / "p.xml"));
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

} // namespace
