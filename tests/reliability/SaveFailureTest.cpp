// A profile save that cannot be done: a full disk, a file system or a
// directory that takes no writes. The save fails and says why, the file that
// was there stays whole (even one the program could not read) and no
// temporary file is left. Each case runs in a child process, which may
// mount a small file system of its own or give up root's privileges.

#include "ChildProcess.h"
#include "ProfileFixtures.h"
#include "ScratchDirectory.h"

#include "config/ProfileStore.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <sstream>
#include <string>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr uid_t kUnprivilegedUser = 65534;
constexpr int kLargeMacroCount = 40;
constexpr char kUnsupported[] = "unsupported";
const std::string kUnreadableContents = "<profile sel=\"0\"><group><macro sel=\"0\"><group name=\"mine\">";

// A file system of its own for the directory, visible to this process only.
bool mountSmallFileSystem(const fs::path& directory, const char* size)
{
    const std::string options = std::string("size=") + size + ",mode=0700";
    return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
        && ::mount("tmpfs", directory.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

bool makeReadOnlyFileSystem(const fs::path& directory)
{
    return ::mount(nullptr, directory.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

// The directory stays readable but takes no new files; root, for whom
// permissions do not bind, continues as an ordinary user who owns it.
bool makeDirectoryReadOnly(const fs::path& directory)
{
    if (::geteuid() == 0) {
        for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
            if (::chown(entry.path().c_str(), kUnprivilegedUser, kUnprivilegedUser) != 0)
                return false;
        }
        if (::chown(directory.c_str(), kUnprivilegedUser, kUnprivilegedUser) != 0
            || ::chmod(directory.parent_path().c_str(), 0755) != 0)
            return false;
    }
    fs::permissions(directory, fs::perms(0555));
    return ::geteuid() != 0 || (::setgid(kUnprivilegedUser) == 0 && ::setuid(kUnprivilegedUser) == 0);
}

bool limitFileSize(const fs::path&)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

bool nothing(const fs::path&)
{
    return true;
}

struct SaveFailureCase {
    const char* label;
    std::function<bool(const fs::path&)> beforeOldFile; // runs before the old file is written
    std::function<bool(const fs::path&)> beforeSave;    // runs after it was loaded
    bool oldFileUnreadable;
    const char* reason; // the system's words for the failure
};

void PrintTo(const SaveFailureCase& row, std::ostream* out)
{
    *out << row.label;
}

using Report = std::map<std::string, std::string>;

std::string formatReport(const Report& report)
{
    std::string text;
    for (const auto& [key, value] : report)
        text += key + "=" + value + "\n";
    return text;
}

Report parseReport(const std::string& text)
{
    Report report;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            report[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return report;
}

// The child's part: set up, save, and tell what happened.
std::string trySave(const SaveFailureCase& row, const fs::path& directory)
{
    if (!row.beforeOldFile(directory))
        return kUnsupported;
    ProfileStore old = profileStoreWithMacros(directory, 1, L'o');
    if (row.oldFileUnreadable)
        writeWholeFile(profileFileOf(old), kUnreadableContents);
    else if (!saveProfileStore(old))
        return "cannot write the old file";
    const std::string oldBytes = readWholeFile(profileFileOf(old));

    ProfileStore store = emptyProfileStore(directory);
    const bool loaded = loadProfileStore(store, kMouseProfileFileName);
    store.groups = profileStoreWithMacros(directory, kLargeMacroCount, L'n').groups;
    if (!row.beforeSave(directory))
        return kUnsupported;

    std::string failure;
    const bool saved = saveProfileStore(store, &failure);
    return formatReport({{"loaded", loaded ? "1" : "0"},
                         {"saved", saved ? "1" : "0"},
                         {"failure", failure},
                         {"intact", readWholeFile(profileFileOf(store)) == oldBytes ? "1" : "0"},
                         {"temporary", fs::exists(temporaryFileOf(store)) ? "1" : "0"},
                         {"entries", std::to_string(std::distance(fs::directory_iterator(directory),
                                                                  fs::directory_iterator()))}});
}

class SaveFailureTest : public testing::TestWithParam<SaveFailureCase> {};

TEST_P(SaveFailureTest, FailsWithReasonAndKeepsOldFileWhole)
{
    const SaveFailureCase& row = GetParam();
    ScratchDirectory scratch;
    const fs::path directory = scratch / "profiles";
    fs::create_directory(directory);

    const std::optional<std::string> output = runInChildProcess([&] { return trySave(row, directory); });
    ASSERT_TRUE(output.has_value()) << "the saving process did not finish";
    if (*output == kUnsupported)
        GTEST_SKIP() << "this machine cannot set up the case";
    const Report report = parseReport(*output);
    ASSERT_EQ(report.count("saved"), 1u) << *output;

    EXPECT_EQ(report.at("loaded"), row.oldFileUnreadable ? "0" : "1");
    EXPECT_EQ(report.at("saved"), "0");
    EXPECT_EQ(report.at("intact"), "1") << "the previous file was changed";
    EXPECT_EQ(report.at("temporary"), "0");
    EXPECT_EQ(report.at("entries"), "1") << "only the previous file may be left";
    const std::string& failure = report.at("failure");
    EXPECT_NE(failure.find((directory / "msprofile.xml").string()), std::string::npos) << failure;
    EXPECT_NE(failure.find(row.reason), std::string::npos) << failure;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveFailureTest,
    testing::Values(
        SaveFailureCase{"DiskFull", [](const fs::path& d) { return mountSmallFileSystem(d, "64k"); }, nothing,
                        false, "No space left on device"},
        SaveFailureCase{"FileSizeLimit", nothing, limitFileSize, false, "File too large"},
        SaveFailureCase{"ReadOnlyFileSystem", [](const fs::path& d) { return mountSmallFileSystem(d, "1m"); },
                        makeReadOnlyFileSystem, false, "Read-only file system"},
        SaveFailureCase{"ReadOnlyDirectory", nothing, makeDirectoryReadOnly, false, "Permission denied"},
        SaveFailureCase{"UnreadableFileInReadOnlyDirectory", nothing, makeDirectoryReadOnly, true,
                        "Permission denied"},
        SaveFailureCase{"UnreadableFileOnFullDisk", [](const fs::path& d) { return mountSmallFileSystem(d, "64k"); },
                        nothing, true, "No space left on device"}),
    [](const testing::TestParamInfo<SaveFailureCase>& info) { return std::string(info.param.label); });

} // namespace
