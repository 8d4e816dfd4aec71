// The device logic's own cost against the simulated mouse: (a) the full
// connection read beside the sum of the mouse's reply latencies and the fixed
// pauses, (b) a page-side LightDat write until its SetLight reaches the mouse.
// Times come from the wire log's clock, so the host's waiting is measured up
// to the report the mouse saw.

#include "config/DeviceConfig.h"
#include "mouse/MouseLogic.h"
#include "shape/Channels.h"
#include "shape/ShapeRegistry.h"
#include "sim/MouseFirmware.h"
#include "sim/SimulatedHidBackend.h"

#include "BenchStats.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr SimulatedMouseIdentity kIdentity{0x1A2B, 0x3C4D, 1, -1, 0x0100, 0x0105};
constexpr UsbInfo kConfigured{0x1A2B, 0x3C4D, 1, -1};
constexpr auto kReplyLatency = 1ms;
constexpr double kModeSwitchPauseMs = 50.0;
constexpr std::uint8_t kSetLightCommand = 0xFC;

bool waitForWorkerIdle()
{
    return ShapeRegistry::waitUntilIdle(10s);
}

// The simulated mouse, the configuration, the page's light value and the logic.
struct Bench {
    Bench()
    {
        setHidBackend(&backend);
        mouse = &backend.addMouse(kIdentity);
        mouse->setReplyLatency(kReplyLatency);
        config.usbInfo.current() = kConfigured;
        logic.emplace();
    }
    ~Bench()
    {
        waitForWorkerIdle();
        logic.reset();
        setHidBackend(nullptr);
    }

    SimulatedHidBackend backend;
    SimulatedMouse* mouse = nullptr;
    DeviceConfig config;
    ModeShape pageMode;
    LightShape pageLight;
    ConnectionStateShape windowConnection;
    std::optional<MouseLogic> logic;
};

// Time the mouse itself took: each reply counted from the later of its request
// and the previous reply. The rest of a read is the host's.
double deviceReplyTime(const std::vector<WireRecord>& wire)
{
    double total = 0;
    std::optional<double> lastRequest;
    std::optional<double> lastReply;
    for (const WireRecord& record : wire) {
        if (record.direction == WireDirection::HostToDevice) {
            lastRequest = record.milliseconds;
            lastReply.reset();
        } else if (lastRequest) {
            total += record.milliseconds - std::max(*lastRequest, lastReply.value_or(*lastRequest));
            lastReply = record.milliseconds;
        }
    }
    return total;
}

// (a) Each iteration reconnects to a mouse that sits in another mode than the
// one last read, so the read ends with the mode switch, its pause and the
// light read again: 55 replies and one 50 ms pause at the least (the floor).
// Reported: the read's time over the floor, and the host's own share of it
// (what is left after the time the mouse took for its replies and the pause).
void BM_FullConnectionRead(benchmark::State& state)
{
    Bench bench;
    const std::wstring path = bench.backend.pathOf(*bench.mouse);
    std::vector<double> totalOverheads;
    std::vector<double> hostOverheads;
    int mode = 0;
    for (auto _ : state) {
        bench.logic->onDeviceChange(false, path);
        mode = mode % 2 + 1;
        FirmwareState firmware = factoryFirmwareState();
        firmware.currentMode = mode;
        bench.mouse->setFirmwareState(firmware);
        waitForWorkerIdle();
        bench.mouse->wireLog().clear();

        const double start = wireClockMilliseconds();
        bench.logic->onDeviceChange(true, path);
        if (!waitForWorkerIdle()) {
            state.SkipWithError("the read did not finish");
            break;
        }
        const std::vector<WireRecord> wire = bench.mouse->wireLog().records();
        const auto replies = std::count_if(wire.begin(), wire.end(), [](const WireRecord& record) {
            return record.direction == WireDirection::DeviceToHost;
        });
        if (wire.empty() || replies != 55) {
            state.SkipWithError("unexpected read sequence");
            break;
        }
        const double elapsed = wire.back().milliseconds - start;
        const double floor = static_cast<double>(replies) * std::chrono::duration<double, std::milli>(kReplyLatency).count() +
                             kModeSwitchPauseMs;
        const double deviceTime = deviceReplyTime(wire);
        totalOverheads.push_back((elapsed - floor) / floor * 100.0);
        hostOverheads.push_back((elapsed - deviceTime - kModeSwitchPauseMs) / floor * 100.0);
        state.SetIterationTime(elapsed / 1000.0);
        state.counters["floor_ms"] = floor;
    }
    state.counters["over_floor_pct_median"] = median(totalOverheads);
    state.counters["host_overhead_pct_median"] = median(hostOverheads);
}
BENCHMARK(BM_FullConnectionRead)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// (b) The page writes its LightDat in place and notifies the others, as a
// slider does; the time runs until the mouse has the SetLight report.
void BM_LightWriteToSetLight(benchmark::State& state)
{
    Bench bench;
    bench.logic->onDeviceChange(false, L"");
    waitForWorkerIdle();
    if (bench.windowConnection.current() != 1) {
        state.SkipWithError("not connected");
        return;
    }
    std::vector<double> latencies;
    uint8_t speed = 0;
    for (auto _ : state) {
        bench.mouse->wireLog().clear();
        speed = static_cast<uint8_t>(speed % 4 + 1);
        const double start = wireClockMilliseconds();
        bench.pageLight.current().speed = speed;
        bench.pageLight.notifyOthers(0, false);
        std::optional<double> arrival;
        const auto deadline = std::chrono::steady_clock::now() + 3s;
        while (!arrival && std::chrono::steady_clock::now() < deadline) {
            for (const WireRecord& record : bench.mouse->wireLog().records()) {
                if (record.direction == WireDirection::HostToDevice && record.bytes[1] == kSetLightCommand) {
                    arrival = record.milliseconds;
                }
            }
            // The mouse stamps the arrival itself; looking less often keeps
            // this loop from competing with the threads it measures.
            std::this_thread::sleep_for(50us);
        }
        if (!arrival) {
            state.SkipWithError("no SetLight arrived");
            break;
        }
        latencies.push_back(*arrival - start);
        state.SetIterationTime((*arrival - start) / 1000.0);
        waitForWorkerIdle();
    }
    state.counters["median_ms"] = median(latencies);
}
BENCHMARK(BM_LightWriteToSetLight)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200);

}  // namespace

BENCHMARK_MAIN();
