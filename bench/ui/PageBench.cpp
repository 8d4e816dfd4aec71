// The settings page wired to the device logic and the simulated mouse, as
// the main window wires them: (a) from a slider move (the toolkit event) to
// its report arriving at the mouse, (b) from the mouse's connection to the
// page showing every value read, beside the time the connect read itself
// took on the wire.

#include "WiredPage.h"

#include "sim/MouseFirmware.h"
#include "sim/WireLog.h"

#include "BenchStats.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

using wiredpage::runUntil;
using wiredpage::WiredPage;

constexpr std::uint8_t kSetLightCommand = 0xFC;

// When the first host-to-device report with `command` reached the mouse, by
// the wire log's clock.
std::optional<double> arrivalOf(SimulatedMouse& mouse, std::uint8_t command)
{
    for (const WireRecord& record : mouse.wireLog().records()) {
        if (record.direction == WireDirection::HostToDevice && record.bytes[1] == command) {
            return record.milliseconds;
        }
    }
    return std::nullopt;
}

// (a) A speed slider move until the SetLight report is at the mouse.
void BM_SliderToReport(benchmark::State& state)
{
    WiredPage rig;
    rig.logic().onDeviceChange(false, L"");
    if (!rig.ok() || !rig.settle()) {
        state.SkipWithError("the page did not connect");
        return;
    }
    std::vector<double> latencies;
    int position = 0;
    for (auto _ : state) {
        rig.mouse().wireLog().clear();
        position = (position + 1) % 4;
        const double start = wireClockMilliseconds();
        rig.slide(L"bar_mouse_speed", position);
        std::optional<double> arrival;
        runUntil([&] { return (arrival = arrivalOf(rig.mouse(), kSetLightCommand)).has_value(); }, 3s);
        if (!arrival) {
            state.SkipWithError("no SetLight arrived");
            break;
        }
        latencies.push_back(*arrival - start);
        state.SetIterationTime((*arrival - start) / 1000.0);
        rig.settle();
    }
    state.counters["median_ms"] = median(latencies);
}
BENCHMARK(BM_SliderToReport)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(100);

// Two firmware states that differ in every value the page shows.
FirmwareState firmwareVariant(int variant)
{
    FirmwareState firmware = factoryFirmwareState();
    firmware.currentMode = variant == 0 ? 0 : 2;
    firmware.currentDpiStage = variant == 0 ? 1 : 5;
    firmware.dpiStages[firmware.currentDpiStage].level = variant == 0 ? 3 : 9;
    ModeLighting& mode = firmware.modes[firmware.currentMode];
    mode.selectedEffect = variant == 0 ? 1 : 4;
    mode.effects[mode.selectedEffect].speed = variant == 0 ? 1 : 3;
    mode.effects[mode.selectedEffect].brightness = variant == 0 ? 1 : 4;
    return firmware;
}

// (b) Each iteration unplugs, swaps the mouse's state, and plugs it in again;
// the page is ready when it shows what a settled connection to that state
// shows (learnt once per state before the timing).
void BM_ConnectionToPageShown(benchmark::State& state)
{
    WiredPage rig;
    const std::wstring path = rig.path();
    std::vector<std::wstring> expected[2];
    for (int variant = 0; variant < 2; ++variant) {
        rig.logic().onDeviceChange(false, path);
        rig.settle();
        rig.mouse().setFirmwareState(firmwareVariant(variant));
        rig.logic().onDeviceChange(true, path);
        if (!rig.ok() || !rig.settle()) {
            state.SkipWithError("the page did not connect");
            return;
        }
        expected[variant] = rig.shownValues();
    }
    if (expected[0] == expected[1]) {
        state.SkipWithError("the two mouse states look the same on the page");
        return;
    }
    std::vector<double> pageTimes;
    std::vector<double> wireTimes;
    int variant = 1;
    for (auto _ : state) {
        variant = 1 - variant;
        rig.logic().onDeviceChange(false, path);
        rig.settle();
        rig.mouse().setFirmwareState(firmwareVariant(variant));
        rig.mouse().wireLog().clear();

        const double start = wireClockMilliseconds();
        rig.logic().onDeviceChange(true, path);
        if (!runUntil([&] { return rig.shownValues() == expected[variant]; })) {
            state.SkipWithError("the page never showed the mouse's values");
            break;
        }
        const double shown = wireClockMilliseconds();
        rig.settle();
        const std::vector<WireRecord> wire = rig.mouse().wireLog().records();
        const double wireEnd = wire.empty() ? start : wire.back().milliseconds;
        pageTimes.push_back(shown - start);
        wireTimes.push_back(wireEnd - start);
        state.SetIterationTime((shown - start) / 1000.0);
    }
    state.counters["page_shown_ms_median"] = median(pageTimes);
    state.counters["connect_read_ms_median"] = median(wireTimes);
}
BENCHMARK(BM_ConnectionToPageShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
