// The real mousecfg program, started with the simulated mouse under an Xvfb
// display of the benchmark's own that also runs a tray host:
//   StartToFirstPaint     start of the process to the first frame of its main
//                         window reaching the X server (median of the runs);
//   MemoryAfterConnect    resident and proportional memory once the connect
//                         read of the simulated mouse is over;
//   WakeupsHiddenInTray   context switches of all its threads in 10 s while
//                         the window is hidden in the tray and the mouse idle.
#include "ChildProcess.h"
#include "ProcessCounters.h"
#include "VirtualDisplay.h"
#include "WindowWatch.h"

#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr char kWindowTitle[] = "Mouse configuration";
// The minimise button's centre, from the main layout: right padding 10,
// the close button 36 and 6 of spacing, half of its own 36; caption 56 high.
constexpr int kMinimiseFromRight = 10 + 36 + 6 + 18;
constexpr int kMinimiseY = 28;
constexpr int kWindowWidth = 960;

// One display for every run, with a tray host when trayer is there.
struct Desktop {
    VirtualDisplay display;
    bool trayHost = display.startTrayHost();
};

Desktop& desktop()
{
    static Desktop shared;
    return shared;
}

VirtualDisplay& display() { return desktop().display; }

// A private directory per run: its own single-instance socket and wire log.
class RunDirectory {
public:
    RunDirectory()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "mousecfg-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~RunDirectory()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::unique_ptr<ChildProcess> startApplication(const RunDirectory& run)
{
    return std::make_unique<ChildProcess>(
        std::vector<std::string>{MOUSECFG_EXECUTABLE, "--simulate"},
        ChildProcess::Environment{{"DISPLAY", display().name()},
                                  {"QT_QPA_PLATFORM", "xcb"},
                                  {"XDG_RUNTIME_DIR", run.path().string()},
                                  {"MOUSECFG_WIRE_LOG", (run.path() / "wire.log").string()}});
}

// The connect read is over when the wire log has had lines and then none
// for half a second.
bool waitForConnectRead(const RunDirectory& run)
{
    const std::filesystem::path log = run.path() / "wire.log";
    std::uintmax_t size = 0;
    auto quietSince = Clock::now();
    const auto deadline = Clock::now() + 15s;
    while (Clock::now() < deadline) {
        std::error_code error;
        const std::uintmax_t now = std::filesystem::file_size(log, error);
        if (!error && now != size) {
            size = now;
            quietSince = Clock::now();
        } else if (size > 0 && Clock::now() - quietSince > 500ms) {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

bool click(int x, int y)
{
    ChildProcess xdotool({"/usr/bin/xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"},
                         {{"DISPLAY", display().name()}});
    return xdotool.waitForExit(5s);
}

// The program on a directory of its own, its window painted and the connect
// read of the simulated mouse over. Members end in reverse: the program first.
struct ConnectedProgram {
    RunDirectory run;
    WindowWatch watch{display().name()};
    std::unique_ptr<ChildProcess> application;
    xcb_window_t window = 0;
};

// Null, with the reason given to `state`, when the window does not show or
// the mouse does not connect.
std::unique_ptr<ConnectedProgram> startConnected(benchmark::State& state)
{
    auto program = std::make_unique<ConnectedProgram>();
    program->application = startApplication(program->run);
    const std::optional<xcb_window_t> window = program->watch.waitForFirstPaint(kWindowTitle, 20s);
    if (!window || !waitForConnectRead(program->run)) {
        state.SkipWithError("the window did not show or the simulated mouse did not connect");
        return nullptr;
    }
    program->window = *window;
    return program;
}

bool displayReady(benchmark::State& state)
{
    if (display().name().empty()) {
        state.SkipWithError("Xvfb could not be started");
        return false;
    }
    return true;
}

void StartToFirstPaint(benchmark::State& state)
{
    if (!displayReady(state)) {
        return;
    }
    for (auto _ : state) {
        RunDirectory run;
        WindowWatch watch(display().name());
        if (!watch.ready()) {
            state.SkipWithError("the display has no damage extension");
            return;
        }
        const auto start = Clock::now();
        const auto application = startApplication(run);
        const std::optional<xcb_window_t> window = watch.waitForFirstPaint(kWindowTitle, 20s);
        const auto painted = Clock::now();
        if (!window) {
            state.SkipWithError("the main window was not painted within 20 s");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(painted - start).count());
    }
}

void MemoryAfterConnect(benchmark::State& state)
{
    if (!displayReady(state)) {
        return;
    }
    for (auto _ : state) {
        const std::unique_ptr<ConnectedProgram> program = startConnected(state);
        if (!program) {
            return;
        }
        const std::optional<MemoryUse> memory = memoryUse(program->application->pid());
        if (!memory) {
            state.SkipWithError("/proc has no memory figures of the program");
            return;
        }
        state.counters["resident_MB"] = static_cast<double>(memory->residentKiB) / 1024.0;
        state.counters["proportional_MB"] = static_cast<double>(memory->proportionalKiB) / 1024.0;
    }
}

void WakeupsHiddenInTray(benchmark::State& state)
{
    if (!displayReady(state)) {
        return;
    }
    for (auto _ : state) {
        const std::unique_ptr<ConnectedProgram> program = startConnected(state);
        if (!program) {
            return;
        }
        WindowWatch& watch = program->watch;
        const xcb_window_t window = program->window;
        const std::optional<std::pair<int, int>> origin = watch.position(window);
        if (!origin || !click(origin->first + kWindowWidth - kMinimiseFromRight, origin->second + kMinimiseY)) {
            state.SkipWithError("the minimise button could not be clicked");
            return;
        }
        const auto hideDeadline = Clock::now() + 3s;
        while (watch.viewable(window) && Clock::now() < hideDeadline) {
            std::this_thread::sleep_for(10ms);
        }
        if (watch.viewable(window)) {
            state.SkipWithError("the window did not hide");
            return;
        }
        std::this_thread::sleep_for(1s);  // the hide and the tooltip settle
        const pid_t pid = program->application->pid();
        const std::optional<SwitchCount> before = contextSwitches(pid);
        std::this_thread::sleep_for(10s);
        const std::optional<SwitchCount> after = contextSwitches(pid);
        if (!before || !after) {
            state.SkipWithError("/proc has no thread figures of the program");
            return;
        }
        state.counters["wakeups_in_10s"] = static_cast<double>(after->switches - before->switches);
        state.counters["threads"] = after->threads;
        state.counters["tray_host"] = desktop().trayHost ? 1 : 0;
    }
}

}  // namespace

BENCHMARK(StartToFirstPaint)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(12)
    ->ReportAggregatesOnly(true);
BENCHMARK(MemoryAfterConnect)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(WakeupsHiddenInTray)->Unit(benchmark::kSecond)->Iterations(1);

BENCHMARK_MAIN();
