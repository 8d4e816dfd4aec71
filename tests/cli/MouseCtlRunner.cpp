#include "MouseCtlRunner.h"

#include "FileText.h"
#include "ReportHex.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>

extern char** environ;

namespace clitest {

namespace {


}  // namespace

AppDirectory::AppDirectory(const std::vector<std::string>& fixtures)
{
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("mousectl-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
    const std::filesystem::path source = std::filesystem::path(MOUSECFG_FIXTURES_DIR) / "cli";
    for (const std::string& fixture : fixtures) {
        const std::filesystem::path target = path_ / fixture;
        std::filesystem::create_directories(target.parent_path());
        std::filesystem::copy(source / fixture, target, std::filesystem::copy_options::recursive);
    }
}

AppDirectory::~AppDirectory()
{
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

RunResult AppDirectory::run(const std::vector<std::string>& arguments) const
{
    std::vector<std::string> withDirectory{"--dir", path_.string()};
    withDirectory.insert(withDirectory.end(), arguments.begin(), arguments.end());
    return runMouseCtl(withDirectory, std::string(kWireLogEnvironmentVariable) + "=" + wireLogPath().string());
}

std::vector<WireRecord> AppDirectory::wire() const
{
    std::vector<WireRecord> records;
    std::istringstream lines(fileText(wireLogPath()));
    for (std::string line; std::getline(lines, line);) {
        if (const std::optional<WireRecord> record = parseWireLine(line)) {
            records.push_back(*record);
        }
    }
    return records;
}

bool AppDirectory::wireLogExists() const
{
    return std::filesystem::exists(wireLogPath());
}

RunResult runMouseCtl(const std::vector<std::string>& arguments, const std::string& environmentEntry)
{
    static std::atomic<int> counter{0};
    const std::filesystem::path capture = std::filesystem::temp_directory_path() /
                                          ("mousectl-run-" + std::to_string(::getpid()) + "-" +
                                           std::to_string(counter++));
    const std::string outPath = capture.string() + ".out";
    const std::string errPath = capture.string() + ".err";

    std::vector<std::string> argumentText{MOUSECTL_PATH};
    argumentText.insert(argumentText.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : argumentText) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    std::vector<std::string> environmentText{environmentEntry};
    const std::string name = environmentEntry.substr(0, environmentEntry.find('=') + 1);
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!std::string_view(*entry).starts_with(name)) {
            environmentText.emplace_back(*entry);
        }
    }
    std::vector<char*> envp;
    for (std::string& entry : environmentText) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    RunResult result;
    pid_t child = -1;
    if (posix_spawn(&child, MOUSECTL_PATH, &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        if (::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
            result.exitStatus = WEXITSTATUS(status);
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = fileText(outPath);
    result.err = fileText(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return result;
}

std::vector<std::string> hostRequests(const std::vector<WireRecord>& wire)
{
    std::vector<std::string> requests;
    for (const WireRecord& record : wire) {
        if (record.direction == WireDirection::HostToDevice) {
            requests.push_back(significantHex(record.bytes));
        }
    }
    return requests;
}

std::vector<std::string> normalisedRequests(const std::vector<std::string>& hex)
{
    std::vector<std::string> result;
    for (const std::string& text : hex) {
        MouseReport report{};
        std::istringstream pairs(text);
        unsigned value = 0;
        for (std::size_t i = 0; i < report.size() && pairs >> std::hex >> value; ++i) {
            report[i] = static_cast<uint8_t>(value);
        }
        result.push_back(significantHex(report));
    }
    return result;
}

}  // namespace clitest
