#include "ProcessCounters.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace {

// The number after "name:" in a /proc "key: value" file; none when absent.
std::optional<std::int64_t> field(const std::filesystem::path& file, std::string_view name)
{
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() > name.size() && line.compare(0, name.size(), name) == 0 && line[name.size()] == ':') {
            return std::stoll(line.substr(name.size() + 1));
        }
    }
    return std::nullopt;
}

std::filesystem::path processDirectory(pid_t pid) { return std::filesystem::path("/proc") / std::to_string(pid); }

}  // namespace

std::optional<MemoryUse> memoryUse(pid_t pid)
{
    const std::filesystem::path directory = processDirectory(pid);
    const std::optional<std::int64_t> resident = field(directory / "status", "VmRSS");
    const std::optional<std::int64_t> proportional = field(directory / "smaps_rollup", "Pss");
    if (!resident || !proportional) {
        return std::nullopt;
    }
    return MemoryUse{*resident, *proportional};
}

std::optional<SwitchCount> contextSwitches(pid_t pid)
{
    std::error_code error;
    std::filesystem::directory_iterator tasks(processDirectory(pid) / "task", error);
    if (error) {
        return std::nullopt;
    }
    SwitchCount count;
    for (const auto& task : tasks) {
        const std::optional<std::int64_t> voluntary = field(task.path() / "status", "voluntary_ctxt_switches");
        const std::optional<std::int64_t> forced = field(task.path() / "status", "nonvoluntary_ctxt_switches");
        if (voluntary && forced) {
            count.switches += *voluntary + *forced;
            ++count.threads;
        }
    }
    return count;
}
