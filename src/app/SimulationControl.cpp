#include "app/SimulationControl.h"

#include "sim/SimulatedMouse.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::string_view trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<SimulationCommand> parseSimulationCommand(std::string_view line)
{
    const std::string_view word = trimmed(line);
    if (word == "plug") {
        return SimulationCommand::plug;
    }
    if (word == "unplug") {
        return SimulationCommand::unplug;
    }
    if (word == "silent") {
        return SimulationCommand::silent;
    }
    if (word == "answer") {
        return SimulationCommand::answer;
    }
    return std::nullopt;
}

void applySimulationCommand(SimulatedMouse& mouse, SimulationCommand command)
{
    switch (command) {
    case SimulationCommand::plug:
        mouse.plug();
        break;
    case SimulationCommand::unplug:
        mouse.unplug();
        break;
    case SimulationCommand::silent:
        mouse.setSilent(true);
        break;
    case SimulationCommand::answer:
        mouse.setSilent(false);
        break;
    }
}

std::unique_ptr<SimulationControl> SimulationControl::open(const std::filesystem::path& fifo, SimulatedMouse& mouse)
{
    if (mkfifo(fifo.c_str(), 0600) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "mousecfg: cannot create the control FIFO %s: %s\n", fifo.c_str(), std::strerror(errno));
        return nullptr;
    }
    const int descriptor = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    if (descriptor < 0 || fstat(descriptor, &info) != 0 || !S_ISFIFO(info.st_mode)) {
        std::fprintf(stderr, "mousecfg: cannot open the control FIFO %s: %s\n", fifo.c_str(),
                     descriptor < 0 ? std::strerror(errno) : "not a FIFO");
        if (descriptor >= 0) {
            close(descriptor);
        }
        return nullptr;
    }
    return std::unique_ptr<SimulationControl>(new SimulationControl(descriptor, mouse));
}

SimulationControl::SimulationControl(int descriptor, SimulatedMouse& mouse)
    : descriptor_(descriptor), mouse_(mouse), notifier_(descriptor, QSocketNotifier::Read)
{
    QObject::connect(&notifier_, &QSocketNotifier::activated, &notifier_, [this] { readCommands(); });
}

SimulationControl::~SimulationControl()
{
    notifier_.setEnabled(false);
    close(descriptor_);
}

void SimulationControl::readCommands()
{
    char buffer[256];
    while (true) {
        const ssize_t count = read(descriptor_, buffer, sizeof buffer);
        if (count <= 0) {
            break;
        }
        pending_.append(buffer, static_cast<size_t>(count));
    }
    size_t end = 0;
    while ((end = pending_.find('\n')) != std::string::npos) {
        const std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        if (const auto command = parseSimulationCommand(line)) {
            applySimulationCommand(mouse_, *command);
        } else if (!trimmed(line).empty()) {
            std::fprintf(stderr, "mousecfg: unknown simulation command: %s\n", line.c_str());
        }
    }
}
