// The mouse is plugged and unplugged 100 times at random moments, faster
// than ten times a second, while the logic is told of every arrival and
// removal and starts a read after every arrival. When the mouse stays plugged
// at the end, the logic is connected through a single descriptor, the process
// holds no more descriptors than after a plain connection, and a read gets
// every reply.

#include "LogicHarness.h"
#include "NoticeForwarder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <iostream>
#include <random>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using logictest::LogicHarness;

constexpr int kCycles = 100;
constexpr auto kStormLimit = 10s;
constexpr auto kLongestPhaseMs = 45;

void forwardFor(NoticeForwarder& forwarder, std::chrono::milliseconds duration)
{
    const Clock::time_point until = Clock::now() + duration;
    do {
        forwarder.forwardPending();
        std::this_thread::sleep_for(200us);
    } while (Clock::now() < until);
}

TEST(ReplugStormTest, HundredCyclesLeaveOneDescriptorAndEndConnected)
{
    LogicHarness harness;
    NoticeForwarder forwarder(harness);
    harness.mouse().resetTransferCount();
    harness.startUp();
    ASSERT_EQ(harness.page().connectionState.current(), 1);
    const std::uint64_t fullReadTransfers = harness.mouse().transferCount();
    const std::size_t connectedDescriptors = openDescriptorCount();

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> phaseMs(0, kLongestPhaseMs);

    const Clock::time_point stormStart = Clock::now();
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        harness.mouse().unplug();
        forwardFor(forwarder, std::chrono::milliseconds(phaseMs(random)));
        harness.mouse().plug();
        forwardFor(forwarder, std::chrono::milliseconds(phaseMs(random)));
    }
    const Clock::duration storm = Clock::now() - stormStart;
    EXPECT_LT(storm, kStormLimit);

    ASSERT_TRUE(forwarder.forwardUntilQuiet(50ms, 10s));
    EXPECT_EQ(harness.page().connectionState.current(), 1);
    EXPECT_EQ(harness.mouse().openConnectionCount(), 1u) << "descriptors left open on the mouse";
    EXPECT_EQ(openDescriptorCount(), connectedDescriptors) << "descriptors leaked in the process";

    // The connection left over works: a fresh read gets every reply.
    harness.mouse().resetTransferCount();
    harness.logic().onDeviceChange(false, harness.mousePath());
    harness.logic().onDeviceChange(true, harness.mousePath());
    ASSERT_TRUE(forwarder.forwardUntilQuiet(50ms, 10s));
    EXPECT_EQ(harness.page().connectionState.current(), 1);
    EXPECT_EQ(harness.mouse().transferCount(), fullReadTransfers);
    std::cout << kCycles << " cycles in " << std::chrono::duration_cast<std::chrono::milliseconds>(storm).count()
              << " ms\n";
}

} // namespace
