// A mouse that takes every request and never answers: the worker spends up
// to a time-out on each read, while the thread of the user interface goes on
// changing settings and forwarding device notices without waiting for it.

#include "LogicHarness.h"
#include "NoticeForwarder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using logictest::LogicHarness;

// The longest any one call of the user interface's thread may take.
constexpr auto kLongestCall = 50ms;
constexpr auto kBusyTime = 600ms;
constexpr auto kStepPause = 5ms;
// After the removal the stuck read wakes at once, well before its time-out.
constexpr auto kLongestWindDown = 1s;

struct UiAction {
    const char* name;
    std::function<void(LogicHarness&, int)> act;
};

std::vector<UiAction> actionsOfThePage()
{
    return {
        {"mode", [](LogicHarness& h, int i) { h.page().mode.setCurrentValue(i % 3, 0, false, true); }},
        {"effect", [](LogicHarness& h, int i) { h.page().effectIndex.setCurrentValue(i % 10, 0, false, true); }},
        {"dpi stage", [](LogicHarness& h, int i) { h.page().dpiStage.setCurrentValue(i % 8, 0, false, true); }},
        {"light", [](LogicHarness& h, int i) {
             LightDat light;
             light.speed = static_cast<uint8_t>(i % 5);
             h.page().light.setCurrentValue(light, 0, false, true);
         }},
        {"dpi", [](LogicHarness& h, int i) { h.page().dpi.setCurrentValue(DpiDat{i % 13, 1, 2, 3, 0}, 0, false, true); }},
        {"button", [](LogicHarness& h, int i) {
             h.page().buttonAssignment.setCurrentValue(RecordGroup{i % 8, 2, 1, L"", L"", {MacroItem{0x41, 0, 0, L""}}},
                                                       2, false, true);
         }},
        // A second arrival of the same mouse, as a replugged device gives.
        {"arrival", [](LogicHarness& h, int) { h.logic().onDeviceChange(true, h.mousePath()); }},
    };
}

TEST(SilentMouseTest, UserInterfaceThreadNeverWaitsForTheDevice)
{
    LogicHarness harness;
    NoticeForwarder forwarder(harness);
    harness.mouse().setSilent(true);
    harness.logic().onDeviceChange(false, L"");

    const std::vector<UiAction> actions = actionsOfThePage();
    Clock::duration longest{};
    std::string longestName;
    const Clock::time_point busyUntil = Clock::now() + kBusyTime;
    for (int step = 0; Clock::now() < busyUntil; ++step) {
        const UiAction& action = actions[static_cast<std::size_t>(step) % actions.size()];
        const Clock::time_point before = Clock::now();
        action.act(harness, step);
        forwarder.forwardPending();
        const Clock::duration took = Clock::now() - before;
        if (took > longest) {
            longest = took;
            longestName = action.name;
        }
        std::this_thread::sleep_for(kStepPause);
    }
    EXPECT_LT(longest, kLongestCall) << "the longest call was a " << longestName << " change";
    std::cout << "longest call of the user interface's thread: "
              << std::chrono::duration_cast<std::chrono::microseconds>(longest).count() << " us (" << longestName
              << ")\n";

    const Clock::time_point unplugged = Clock::now();
    harness.mouse().unplug();
    forwarder.forwardUntilQuiet(20ms, 10s);
    EXPECT_LT(Clock::now() - unplugged, kLongestWindDown) << "the worker kept waiting for the silent mouse";
    EXPECT_EQ(harness.page().connectionState.current(), 0);
}

} // namespace
