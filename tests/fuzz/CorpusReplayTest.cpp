// Runs every target on every input kept in its corpus: the seeds and each
// input that once made a target fail. No fuzzing happens here.

#include "FuzzRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

namespace fs = std::filesystem;

const fs::path kCorpusRoot = fs::path(MOUSECFG_SOURCE_DIR) / "tests" / "fuzz" / "corpus";

// The input being replayed, for the report of a crash (the process ends
// before any assertion could name it).
char currentInput[4096] = "";

void writeCurrentInput()
{
    constexpr char kPrefix[] = "\nfuzz replay: failed on input ";
    [[maybe_unused]] ssize_t ignored = ::write(STDERR_FILENO, kPrefix, sizeof kPrefix - 1);
    ignored = ::write(STDERR_FILENO, currentInput, std::strlen(currentInput));
    ignored = ::write(STDERR_FILENO, "\n", 1);
}

void onFatalSignal(int signal)
{
    writeCurrentInput();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void nameInputsOfCrashes()
{
    for (const int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
        std::signal(signal, onFatalSignal);
    if (__sanitizer_set_death_callback != nullptr)
        __sanitizer_set_death_callback(writeCurrentInput);
}

std::vector<fs::path> corpusFiles(const fs::path& directory)
{
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
        if (entry.is_regular_file())
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CorpusReplayTest : public testing::TestWithParam<RegisteredFuzzTarget> {};

TEST_P(CorpusReplayTest, EveryKeptInputRunsCleanly)
{
    nameInputsOfCrashes();
    const fs::path directory = kCorpusRoot / GetParam().name;
    ASSERT_TRUE(fs::is_directory(directory)) << "no corpus for target " << GetParam().name;
    const std::vector<fs::path> files = corpusFiles(directory);
    ASSERT_FALSE(files.empty()) << "empty corpus for target " << GetParam().name;

    for (const fs::path& file : files) {
        const std::string input = readBytes(file);
        std::strncpy(currentInput, file.c_str(), sizeof currentInput - 1);
        GetParam().body(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    }
    currentInput[0] = '\0';
}

INSTANTIATE_TEST_SUITE_P(Targets, CorpusReplayTest, testing::ValuesIn(registeredFuzzTargets()),
                         [](const testing::TestParamInfo<RegisteredFuzzTarget>& info) { return info.param.name; });

// A corpus whose target was renamed or dropped would silently stop being replayed.
TEST(CorpusLayoutTest, EveryCorpusBelongsToATarget)
{
    std::set<std::string> names;
    for (const RegisteredFuzzTarget& target : registeredFuzzTargets())
        names.insert(target.name);
    for (const fs::directory_entry& entry : fs::directory_iterator(kCorpusRoot)) {
        if (entry.is_directory()) {
            EXPECT_TRUE(names.count(entry.path().filename().string()) == 1)
                << "corpus without a target: " << entry.path();
        }
    }
}

} // namespace
