#pragma once

#include <QSocketNotifier>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class SimulatedMouse;

// Commands another process can give the simulated mouse of a running
// application, one per line.
enum class SimulationCommand { plug, unplug, silent, answer };

// "plug", "unplug", "silent" (take requests, never answer) and "answer" (the
// opposite); surrounding white space is ignored. None for anything else.
std::optional<SimulationCommand> parseSimulationCommand(std::string_view line);

void applySimulationCommand(SimulatedMouse& mouse, SimulationCommand command);

// Name of the environment variable that names the control FIFO.
inline constexpr const char* kSimulationControlEnvironmentVariable = "MOUSECFG_SIM_CONTROL";

// Reads commands from a FIFO on the UI thread. The FIFO is created when
// missing and kept open for reading and writing, so that writers may come
// and go; unknown lines are reported on stderr and skipped.
class SimulationControl {
public:
    // None when the FIFO cannot be created or opened (reported on stderr).
    static std::unique_ptr<SimulationControl> open(const std::filesystem::path& fifo, SimulatedMouse& mouse);
    ~SimulationControl();
    SimulationControl(const SimulationControl&) = delete;
    SimulationControl& operator=(const SimulationControl&) = delete;

private:
    SimulationControl(int descriptor, SimulatedMouse& mouse);
    void readCommands();

    int descriptor_;
    SimulatedMouse& mouse_;
    std::string pending_;
    QSocketNotifier notifier_;
};
