// Timings of the same work over the kernel (uhid and hidraw) and over the
// simulated backend's socket pairs, in the same guest. Each figure is the
// median of several runs after one unmeasured run, as the emulated CPU
// translates code the first time it runs it.

#include "GuestHarness.h"

#include "hid/HidDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace guest {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMeasuredRuns = 5;
constexpr int kRoundTrips = 200;
// The read on connection: GetVersion, GetMode, 48 table halves, GetDpi,
// GetLight, GetStatus.
constexpr std::size_t kConnectReadReplies = 53;
constexpr auto kReplyLatency = std::chrono::microseconds(1000);

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct BusCase {
    const char* name;
    MouseBus bus;
};

class GuestFigures : public ::testing::TestWithParam<BusCase> {};

TEST_P(GuestFigures, ConnectRead)
{
    std::vector<double> readMs;
    for (int run = 0; run <= kMeasuredRuns; ++run) {
        GuestHarness harness(GetParam().bus);
        ASSERT_TRUE(harness.ready());
        harness.mouse().setReplyLatency(kReplyLatency);
        harness.startUp();
        const std::vector<WireRecord> wire = harness.wire();
        const std::vector<WireRecord> replies = recordsFrom(wire, WireDirection::DeviceToHost);
        ASSERT_EQ(replies.size(), kConnectReadReplies);
        // From the first request to the last reply.
        if (run > 0)
            readMs.push_back(replies.back().milliseconds - wire.front().milliseconds);
    }
    const double latencySumMs =
        kConnectReadReplies * std::chrono::duration<double, std::milli>(kReplyLatency).count();
    reportFigure(std::string("connect read over ") + busName(GetParam().bus) + ", median (reply latencies add up to " +
                     std::to_string(static_cast<int>(latencySumMs)) + " ms)",
                 median(readMs), "ms");
}

TEST_P(GuestFigures, ReportRoundTrip)
{
    GuestHarness harness(GetParam().bus);
    ASSERT_TRUE(harness.ready());
    harness.mouse().setReplyLatency(std::chrono::microseconds(0));
    HidDevice device;
    ASSERT_EQ(device.openDeviceById(kMouseIdentity.vendorId, kMouseIdentity.productId, 1, -1), 1);
    MouseReport getStatus{};
    getStatus[0] = kMouseReportTag;
    getStatus[1] = static_cast<uint8_t>(MouseCommand::GetStatus);

    std::vector<double> times;
    for (int i = 0; i <= kRoundTrips; ++i) {
        MouseReport reply{};
        const auto start = Clock::now();
        ASSERT_EQ(device.writeReport(getStatus), static_cast<int>(HidDevice::kTransferSize));
        ASSERT_EQ(device.readReport(reply), static_cast<int>(HidDevice::kTransferSize));
        if (i > 0)
            times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    reportFigure(std::string("HidDevice write and read over ") + busName(GetParam().bus) + ", median", median(times),
                 "ms");
}

INSTANTIATE_TEST_SUITE_P(Buses, GuestFigures,
                         ::testing::Values(BusCase{"Uhid", MouseBus::uhid},
                                           BusCase{"SocketPair", MouseBus::socketPair}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace guest
