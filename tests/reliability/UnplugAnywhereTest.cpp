// The mouse leaves the bus at every single transfer of the connection read,
// of a macro download and of a factory reset (with the read that follows the
// mouse's return). Each run ends soon (nothing waits for a reply that cannot
// come), with the connection state 0 and every descriptor closed again.
// Under AddressSanitizer this also shows no use after close and no leak.

#include "LogicHarness.h"
#include "NoticeForwarder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <iostream>
#include <optional>
#include <ostream>
#include <string>

namespace {

using namespace std::chrono_literals;
using logictest::LogicHarness;

constexpr int kMacroAssignment = 1;
constexpr int kKeyA = 0x41;
// Longer than the mouse's restart pause, so a quiet spell means it is over.
constexpr auto kQuietTime = 40ms;
constexpr auto kRunLimit = 10s;
// Well below one transfer time-out (3 s) plus the logic's own pauses.
constexpr auto kLongestRun = 1500ms;
constexpr auto kRestartDelay = 5ms;
constexpr auto kRestartPause = 10ms;

struct Scenario {
    const char* name;
    // Brings the harness to where the scenario begins; transfers are counted from there.
    void (*prepare)(LogicHarness& harness);
    // What the user interface does to start it.
    void (*start)(LogicHarness& harness);
};

void PrintTo(const Scenario& row, std::ostream* out)
{
    *out << row.name;
}

void nothingToPrepare(LogicHarness&) {}

void connectAtStartUp(LogicHarness& harness)
{
    harness.logic().onDeviceChange(false, L"");
}

void connectFirst(LogicHarness& harness)
{
    harness.mouse().setRestartTiming(kRestartDelay, kRestartPause);
    harness.startUp();
}

void assignMacro(LogicHarness& harness)
{
    const RecordGroup group{2, 0, 1, L"button", L"macro", {MacroItem{kKeyA, 0, 30, L"A"}, MacroItem{kKeyA, 1, 30, L"A"}}};
    harness.page().buttonAssignment.setCurrentValue(group, kMacroAssignment, false, true);
}

void restoreFactorySettings(LogicHarness& harness)
{
    harness.page().factoryRestore.current() = 1;
    harness.page().factoryRestore.notifyOthers(0, true);
}

struct Outcome {
    std::uint64_t transfers = 0;
    bool plugged = false;
    int connectionState = -1;
    bool ended = false;
    std::chrono::steady_clock::duration elapsed{};
    std::size_t descriptorsBefore = 0;
    std::size_t descriptorsAfter = 0;
};

// One run on a fresh mouse and logic; unplugs at transfer `unplugAt` when given.
Outcome run(const Scenario& scenario, std::optional<std::uint64_t> unplugAt)
{
    Outcome outcome;
    outcome.descriptorsBefore = openDescriptorCount();
    {
        LogicHarness harness;
        NoticeForwarder forwarder(harness);
        scenario.prepare(harness);
        harness.mouse().resetTransferCount();
        if (unplugAt)
            harness.mouse().unplugAtTransfer(*unplugAt);

        const auto started = std::chrono::steady_clock::now();
        scenario.start(harness);
        outcome.ended = forwarder.forwardUntilQuiet(kQuietTime, kRunLimit);
        outcome.elapsed = std::chrono::steady_clock::now() - started - kQuietTime;
        outcome.transfers = harness.mouse().transferCount();
        outcome.plugged = harness.mouse().isPlugged();
        outcome.connectionState = harness.page().connectionState.current();
    }
    outcome.descriptorsAfter = openDescriptorCount();
    return outcome;
}

class UnplugAnywhereTest : public testing::TestWithParam<Scenario> {};

TEST_P(UnplugAnywhereTest, EveryTransferEndsDisconnectedAndClean)
{
    const Outcome whole = run(GetParam(), std::nullopt);
    ASSERT_TRUE(whole.ended);
    ASSERT_GT(whole.transfers, 0u);
    ASSERT_EQ(whole.connectionState, 1) << "the undisturbed run ends connected";
    EXPECT_EQ(whole.descriptorsAfter, whole.descriptorsBefore);

    for (std::uint64_t transfer = 0; transfer < whole.transfers; ++transfer) {
        SCOPED_TRACE("unplugged at transfer " + std::to_string(transfer) + " of " + std::to_string(whole.transfers));
        const Outcome cut = run(GetParam(), transfer);
        ASSERT_TRUE(cut.ended) << "still busy after " << kRunLimit.count() << " s";
        EXPECT_FALSE(cut.plugged) << "the run never reached the transfer";
        EXPECT_EQ(cut.connectionState, 0);
        EXPECT_LT(cut.elapsed, kLongestRun);
        EXPECT_EQ(cut.descriptorsAfter, cut.descriptorsBefore) << "descriptors left open";
    }
    std::cout << GetParam().name << ": unplugged at each of " << whole.transfers << " transfers\n";
    RecordProperty("transfers", static_cast<int>(whole.transfers));
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, UnplugAnywhereTest,
    testing::Values(Scenario{"ConnectionRead", nothingToPrepare, connectAtStartUp},
                    Scenario{"MacroDownload", connectFirst, assignMacro},
                    Scenario{"FactoryResetAndReconnect", connectFirst, restoreFactorySettings}),
    [](const testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

} // namespace
