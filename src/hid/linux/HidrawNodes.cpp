#include "hid/linux/HidrawNodes.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>
#include <system_error>
#include <tuple>

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kNodePrefix = "hidraw";

fs::path classDirectory(const fs::path& sysfsRoot)
{
    return sysfsRoot / "class" / "hidraw";
}

// hidraw10 sorts after hidraw9; names without a number go last.
unsigned long nodeNumber(const std::string& name)
{
    unsigned long number = std::numeric_limits<unsigned long>::max();
    if (name.rfind(kNodePrefix, 0) == 0) {
        const char* first = name.data() + kNodePrefix.size();
        const char* last = name.data() + name.size();
        const auto [end, error] = std::from_chars(first, last, number);
        if (error != std::errc() || end != last || first == last)
            number = std::numeric_limits<unsigned long>::max();
    }
    return number;
}

}  // namespace

std::vector<fs::path> listHidrawNodeDirectories(const fs::path& sysfsRoot)
{
    std::vector<fs::path> nodes;
    std::error_code error;
    for (fs::directory_iterator entry(classDirectory(sysfsRoot), error), end; !error && entry != end;
         entry.increment(error))
        nodes.push_back(entry->path());
    std::sort(nodes.begin(), nodes.end(), [](const fs::path& a, const fs::path& b) {
        const std::string nameA = a.filename().string();
        const std::string nameB = b.filename().string();
        return std::forward_as_tuple(nodeNumber(nameA), nameA) < std::forward_as_tuple(nodeNumber(nameB), nameB);
    });
    return nodes;
}

fs::path hidrawNodeDirectory(const fs::path& sysfsRoot, const fs::path& deviceNode)
{
    return classDirectory(sysfsRoot) / deviceNode.filename();
}
