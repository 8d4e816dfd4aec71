#include "MousecfgProcess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "FileText.h"
#include "ReportHex.h"
#include "Waiting.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

}  // namespace

const std::vector<std::string> kConnectionRead{"07 F9", "07 F3", "07 F6", "07 F4", "07 F5", "07 F7"};

MousecfgProcess::MousecfgProcess()
{
    static std::atomic<int> counter{0};
    directory_ = fs::temp_directory_path() /
                 ("mousecfg-e2e-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(directory_);
    fs::create_directories(directory_ / "runtime");
    fs::permissions(directory_ / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    fs::create_directories(directory_ / "config");
    // A portable copy: the package and config.xml beside the executable.
    fs::copy_file(MOUSECFG_PATH, directory_ / "mousecfg");
    fs::create_directory_symlink(MOUSECFG_SOURCE_DIR "/uires", directory_ / "uires");
    fs::copy_file(MOUSECFG_CONFIG_PATH, directory_ / "config.xml");
}

MousecfgProcess::~MousecfgProcess()
{
    process_.stop();
    std::error_code error;
    fs::remove_all(directory_, error);
}

std::vector<std::pair<std::string, std::string>> MousecfgProcess::environment() const
{
    return {
        {"XDG_RUNTIME_DIR", (directory_ / "runtime").string()},
        {"XDG_CONFIG_HOME", (directory_ / "config").string()},
        {"MOUSECFG_SIM_CONTROL", (directory_ / "control").string()},
        {"MOUSECFG_WIRE_LOG", (directory_ / "wire.log").string()},
        {"MOUSECFG_WIDGET_MAP", (directory_ / "widgets.txt").string()},
        {"LANG", "C.UTF-8"},
    };
}

ChildProcess::Options MousecfgProcess::optionsWritingTo(const std::string& outputName) const
{
    ChildProcess::Options options;
    options.outputPath = (directory_ / outputName).string();
    options.environment = environment();
    return options;
}

bool MousecfgProcess::start(const std::vector<std::string>& extra)
{
    std::vector<std::string> argv{(directory_ / "mousecfg").string(), "--simulate"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    return process_.start(argv, optionsWritingTo("output.txt"));
}

int MousecfgProcess::runSecondInstance(std::chrono::milliseconds timeout)
{
    ChildProcess second;
    if (!second.start({(directory_ / "mousecfg").string(), "--simulate"}, optionsWritingTo("second-output.txt"))) {
        return -1;
    }
    return second.waitForExit(timeout);
}

std::string MousecfgProcess::output() const { return fileText(directory_ / "output.txt"); }

bool MousecfgProcess::control(const std::string& command)
{
    // The program keeps the FIFO open; a writer that finds no reader fails
    // at once instead of waiting.
    const int fd = ::open((directory_ / "control").c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const std::string line = command + "\n";
    const bool written = ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    ::close(fd);
    return written;
}

std::map<std::string, MousecfgProcess::Widget> MousecfgProcess::widgets() const
{
    std::map<std::string, Widget> map;
    std::istringstream lines(fileText(directory_ / "widgets.txt"));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string name;
        Widget widget;
        if (fields >> name >> widget.rect.x >> widget.rect.y >> widget.rect.width >> widget.rect.height) {
            std::getline(fields >> std::ws, widget.text);
            map[name] = widget;
        }
    }
    return map;
}

std::size_t MousecfgProcess::countShowing(const std::string& name) const
{
    std::size_t count = 0;
    std::istringstream lines(fileText(directory_ / "widgets.txt"));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string found;
        ScreenRect rect;
        std::string text;
        if (fields >> found >> rect.x >> rect.y >> rect.width >> rect.height >> text && found == name) {
            ++count;
        }
    }
    return count;
}

bool MousecfgProcess::waitForText(const std::string& name, const std::string& text, std::chrono::milliseconds timeout)
{
    return pollUntil(
        [&] {
            const auto map = widgets();
            const auto it = map.find(name);
            return it != map.end() && it->second.text == text;
        },
        timeout);
}

std::optional<ScreenRect> MousecfgProcess::waitForWidget(const std::string& name, std::chrono::milliseconds timeout)
{
    std::optional<ScreenRect> found;
    pollUntil(
        [&] {
            const auto map = widgets();
            const auto it = map.find(name);
            if (it != map.end()) {
                found = it->second.rect;
            }
            return found.has_value();
        },
        timeout);
    return found;
}

bool MousecfgProcess::waitForWidgetGone(const std::string& name, std::chrono::milliseconds timeout)
{
    return pollUntil([&] { return widgets().count(name) == 0; }, timeout);
}

std::vector<WireRecord> MousecfgProcess::wire() const
{
    std::vector<WireRecord> records;
    std::istringstream lines(fileText(directory_ / "wire.log"));
    for (std::string line; std::getline(lines, line);) {
        if (const auto record = parseWireLine(line)) {
            records.push_back(*record);
        }
    }
    return records;
}

std::vector<std::string> MousecfgProcess::hostRequests() const
{
    std::vector<std::string> requests;
    for (const WireRecord& record : wire()) {
        if (record.direction == WireDirection::HostToDevice) {
            requests.push_back(significantHex(record.bytes));
        }
    }
    return requests;
}

bool MousecfgProcess::waitForRequests(std::size_t count, std::chrono::milliseconds timeout)
{
    return pollUntil(
        [&] {
            const auto records = wire();
            std::size_t requests = 0;
            for (const WireRecord& r : records) {
                requests += r.direction == WireDirection::HostToDevice;
            }
            return requests >= count;
        },
        timeout);
}

std::vector<std::string> MousecfgProcess::requestsAfter(std::size_t skip) const
{
    const std::vector<std::string> all = hostRequests();
    return skip >= all.size() ? std::vector<std::string>{}
                              : std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(skip), all.end());
}
