#include "hid/HidDevice.h"
#include "sim/SimulatedHidBackend.h"

#include <benchmark/benchmark.h>

#include <poll.h>
#include <unistd.h>

namespace {

// One GetVersion request and its reply on a raw descriptor of the simulated
// mouse at latency 0: the cost of the socket pair and the firmware thread.
void BM_RawDescriptorRoundTrip(benchmark::State& state)
{
    SimulatedMouse mouse(SimulatedMouseIdentity{.vendorId = 0x1A2B, .productId = 0x3C4D});
    mouse.setReplyLatency(std::chrono::microseconds(0));
    const int fd = mouse.open();
    if (fd < 0) {
        state.SkipWithError("open failed");
        return;
    }
    std::array<std::uint8_t, kMouseReportSize + 1> transfer{};
    const MouseReport request = makeGetVersionRequest();
    std::copy(request.begin(), request.end(), transfer.begin() + 1);
    MouseReport reply{};
    for (auto _ : state) {
        if (::write(fd, transfer.data(), transfer.size()) != static_cast<ssize_t>(transfer.size())) {
            state.SkipWithError("write failed");
            break;
        }
        pollfd waiter{fd, POLLIN, 0};
        if (::poll(&waiter, 1, 3000) != 1 || ::read(fd, reply.data(), reply.size()) != 64) {
            state.SkipWithError("no reply");
            break;
        }
        benchmark::DoNotOptimize(reply);
    }
    ::close(fd);
}
BENCHMARK(BM_RawDescriptorRoundTrip)->Repetitions(10)->ReportAggregatesOnly(true)->UseRealTime();

// One GetVersion request and its reply through HidDevice (writeReport, then
// readReport) against the simulated mouse at latency 0: the round trip the
// device logic pays per request.
void BM_HidDeviceRoundTrip(benchmark::State& state)
{
    SimulatedHidBackend backend;
    SimulatedMouse& mouse = backend.addMouse(SimulatedMouseIdentity{.vendorId = 0x1A2B, .productId = 0x3C4D});
    mouse.setReplyLatency(std::chrono::microseconds(0));
    setHidBackend(&backend);
    {
        HidDevice device;
        if (device.openDeviceById(0x1A2B, 0x3C4D, 1, -1) != 1) {
            state.SkipWithError("open failed");
        } else {
            const MouseReport request = makeGetVersionRequest();
            MouseReport reply{};
            for (auto _ : state) {
                if (device.writeReport(request) != HidDevice::kTransferSize ||
                    device.readReport(reply) != HidDevice::kTransferSize) {
                    state.SkipWithError("round trip failed");
                    break;
                }
                benchmark::DoNotOptimize(reply);
            }
        }
    }
    setHidBackend(nullptr);
}
BENCHMARK(BM_HidDeviceRoundTrip)->Repetitions(10)->ReportAggregatesOnly(true)->UseRealTime();

// The reads of a full connect (version, mode, the macro table's 48 reports,
// DPI, light, status) through HidDevice, at the reply latency given in
// microseconds, without the device logic's own pauses.
void BM_HidDeviceConnectRead(benchmark::State& state)
{
    SimulatedHidBackend backend;
    SimulatedMouse& mouse = backend.addMouse(SimulatedMouseIdentity{.vendorId = 0x1A2B, .productId = 0x3C4D});
    mouse.setReplyLatency(std::chrono::microseconds(state.range(0)));
    setHidBackend(&backend);
    {
        HidDevice device;
        MouseReport reply{};
        const auto exchange = [&](const MouseReport& request, int replies) {
            if (device.writeReport(request) != HidDevice::kTransferSize)
                return false;
            for (int i = 0; i < replies; ++i)
                if (device.readReport(reply) != HidDevice::kTransferSize)
                    return false;
            return true;
        };
        if (device.openDeviceById(0x1A2B, 0x3C4D, 1, -1) != 1)
            state.SkipWithError("open failed");
        else
            for (auto _ : state) {
                if (!exchange(makeGetVersionRequest(), 1) || !exchange(makeGetModeRequest(), 1) ||
                    !exchange(makeReadMacroTableRequest(), kMacroTableReplyCount) ||
                    !exchange(makeGetDpiRequest(), 1) || !exchange(makeGetLightRequest(), 1) ||
                    !exchange(makeGetStatusRequest(), 1)) {
                    state.SkipWithError("connect read failed");
                    break;
                }
            }
    }
    setHidBackend(nullptr);
}
BENCHMARK(BM_HidDeviceConnectRead)
    ->Arg(0)
    ->Arg(SimulatedMouse::kDefaultReplyLatency.count())
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
