// A process that saves the mouse profile over and over is killed with
// SIGKILL at random moments. After every kill the profile file is one of the
// two versions it saves, byte for byte, and loads; it is the user's alone;
// and a temporary file the kill left behind is gone after the next save.

#include "ProfileFixtures.h"
#include "ScratchDirectory.h"

#include "config/ProfileStore.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kKillCount = 200;
constexpr int kMacroCount = 10;
constexpr int kTimingSaves = 4;
// Kills land anywhere in the first few saves of each child, from before its
// first save starts to well into its loop.
constexpr int kSavesSpannedByKills = 3;
constexpr int kSaveFailedStatus = 3;

struct Version {
    ProfileStore store;
    std::string bytes;
};

Version savedVersion(const fs::path& directory, int macroCount, wchar_t flavour)
{
    Version version{profileStoreWithMacros(directory, macroCount, flavour), {}};
    if (!saveProfileStore(version.store))
        throw std::runtime_error("cannot save a reference version");
    version.bytes = readWholeFile(profileFileOf(version.store));
    return version;
}

mode_t permissionBits(const fs::path& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// The child: tells it has started, then saves `first`, then `second`, then
// `first` again... until killed.
[[noreturn]] void saveForever(int startedPipe, ProfileStore first, ProfileStore second)
{
    const char started = 1;
    if (::write(startedPipe, &started, 1) != 1)
        ::_exit(kSaveFailedStatus);
    for (;;) {
        if (!saveProfileStore(first) || !saveProfileStore(second))
            ::_exit(kSaveFailedStatus);
    }
}

TEST(KillDuringSaveTest, FileIsAlwaysOneWholeVersionThatLoads)
{
    ScratchDirectory scratch;
    // Of different lengths, so that a file cut short or written over in place shows.
    Version versions[2] = {savedVersion(scratch.path(), kMacroCount, L'a'),
                           savedVersion(scratch.path(), kMacroCount + 2, L'b')};
    ASSERT_NE(versions[0].bytes.size(), versions[1].bytes.size());

    const Clock::time_point timingStart = Clock::now();
    for (int i = 0; i < kTimingSaves; ++i)
        ASSERT_TRUE(saveProfileStore(versions[i % 2].store));
    const auto saveTime = (Clock::now() - timingStart) / kTimingSaves;
    const fs::path file = profileFileOf(versions[0].store);
    const fs::path temporary = temporaryFileOf(versions[0].store);

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<long long> killDelay(
        0, std::chrono::duration_cast<std::chrono::microseconds>(saveTime * kSavesSpannedByKills).count());

    int unchanged = 0;
    int replaced = 0;
    int temporaryLeft = 0;
    for (int kill = 0; kill < kKillCount; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill) + ", seed " + std::to_string(seed));
        const int before = readWholeFile(file) == versions[0].bytes ? 0 : 1;
        const int other = 1 - before;

        int started[2];
        ASSERT_EQ(::pipe(started), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(started[0]);
            saveForever(started[1], versions[other].store, versions[before].store);
        }
        // The delay counts from the child's start, not from the fork, which
        // takes long in a large process. The write end is closed first so that
        // a child that dies before telling ends the read instead of hanging it.
        ::close(started[1]);
        char signal = 0;
        const bool childStarted = ::read(started[0], &signal, 1) == 1;
        ::close(started[0]);
        ASSERT_TRUE(childStarted) << "the saving process ended before it started saving";
        std::this_thread::sleep_for(std::chrono::microseconds(killDelay(random)));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the saving process stopped by itself";

        const std::string bytes = readWholeFile(file);
        const int now = bytes == versions[0].bytes ? 0 : bytes == versions[1].bytes ? 1 : -1;
        ASSERT_NE(now, -1) << "the file is neither version: " << bytes.size() << " bytes";
        ProfileStore loaded = emptyProfileStore(scratch.path());
        ASSERT_TRUE(loadProfileStore(loaded, kMouseProfileFileName));
        EXPECT_EQ(loaded.groups.size(), versions[now].store.groups.size());
        EXPECT_EQ(permissionBits(file), 0600u);
        (now == before ? unchanged : replaced) += 1;

        if (fs::exists(temporary)) {
            ++temporaryLeft;
            EXPECT_EQ(permissionBits(temporary) & ~0600u, 0u) << "a temporary file open to others";
            ASSERT_TRUE(saveProfileStore(versions[now].store));
            EXPECT_FALSE(fs::exists(temporary)) << "the next save left the temporary file";
            EXPECT_EQ(readWholeFile(file), versions[now].bytes);
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path()), fs::directory_iterator()), 1)
            << "files beside the profile";
    }

    std::cout << "kills: " << kKillCount << ", file unchanged: " << unchanged << ", replaced: " << replaced
              << ", temporary file left: " << temporaryLeft << ", save time: "
              << std::chrono::duration_cast<std::chrono::microseconds>(saveTime).count() << " us\n";
    RecordProperty("unchanged", unchanged);
    RecordProperty("replaced", replaced);
    RecordProperty("temporaryLeft", temporaryLeft);
    // Kills landed both in the middle of saves and after completed ones.
    EXPECT_GT(temporaryLeft, 0);
    EXPECT_GT(replaced, 0);
}

} // namespace
