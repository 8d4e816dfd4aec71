// A mouse that takes every request and never answers while the user works
// the settings page: the user interface's event loop keeps turning. A 1 ms
// timer stamps every turn of the loop; the longest gap between two stamps,
// while sliders, combo boxes and a replug notice go through the toolkit's
// events to the page and on to the device logic, stays under 50 ms.

#include "WiredPage.h"

#include "sim/WireLog.h"

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using wiredpage::WiredPage;

constexpr auto kLongestGap = 50ms;
constexpr auto kWarmUp = 200ms;
constexpr auto kBusyTime = 800ms;
constexpr auto kTurnStamp = 1ms;
constexpr auto kUserPace = 10ms;
// Once the mouse is gone its stuck read wakes at once, well before a time-out.
constexpr auto kWindDown = 2s;

struct UserStep {
    const char* name;
    std::function<void(WiredPage&, int)> act;
};

std::vector<UserStep> whatTheUserDoes()
{
    return {
        {"speed slider", [](WiredPage& p, int i) { p.slide(L"bar_mouse_speed", i % 5); }},
        {"brightness slider", [](WiredPage& p, int i) { p.slide(L"bar_mouse_brightness", i % 5); }},
        {"DPI level slider", [](WiredPage& p, int i) { p.slide(L"bar_mouse_dpi_grade", i % 13); }},
        {"mode combo", [](WiredPage& p, int i) { p.choose(L"cmb_profile", i % 3); }},
        {"effect combo", [](WiredPage& p, int i) { p.choose(L"cmb_light_mode_normal", i % 10); }},
        {"DPI stage combo", [](WiredPage& p, int i) { p.choose(L"cmb_mouse_dpi_index", i % 8); }},
        // A second arrival of the same mouse, as a replugged device gives.
        {"arrival notice", [](WiredPage& p, int) { p.logic().onDeviceChange(true, p.path()); }},
    };
}

TEST(SilentMousePage, EventLoopKeepsTurningWhileThePageIsUsed)
{
    WiredPage page;
    ASSERT_TRUE(page.ok());
    page.mouse().setSilent(true);
    page.logic().onDeviceChange(false, L"");

    const std::vector<UserStep> steps = whatTheUserDoes();
    int stepsDone = 0;
    std::string lastStep = "none";
    std::string stepBeforeLongestGap;
    Clock::duration longestGap{};
    Clock::time_point lastTurn = Clock::now();

    QTimer turns;
    turns.setTimerType(Qt::PreciseTimer);
    turns.setInterval(kTurnStamp);
    QObject::connect(&turns, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        if (now - lastTurn > longestGap) {
            longestGap = now - lastTurn;
            stepBeforeLongestGap = lastStep;
        }
        lastTurn = now;
    });
    QTimer user;
    user.setInterval(kUserPace);
    QObject::connect(&user, &QTimer::timeout, [&] {
        const UserStep& step = steps[static_cast<std::size_t>(stepsDone) % steps.size()];
        step.act(page, stepsDone);
        lastStep = step.name;
        ++stepsDone;
    });
    // The window's first layout and paint come before the user's first step.
    QEventLoop loop;
    QTimer::singleShot(kWarmUp, &loop, &QEventLoop::quit);
    loop.exec();

    QTimer::singleShot(kBusyTime, &loop, &QEventLoop::quit);
    lastTurn = Clock::now();
    turns.start();
    user.start();
    loop.exec();
    turns.stop();
    user.stop();

    EXPECT_GE(stepsDone, static_cast<int>(steps.size()) * 3) << "every kind of step was taken several times";
    const std::vector<WireRecord> wire = page.mouse().wireLog().records();
    const auto requests = std::count_if(wire.begin(), wire.end(), [](const WireRecord& record) {
        return record.direction == WireDirection::HostToDevice;
    });
    EXPECT_GT(requests, 0) << "the device logic was talking to the mouse meanwhile";
    EXPECT_EQ(requests, static_cast<std::ptrdiff_t>(wire.size())) << "and the mouse never answered";
    EXPECT_LT(longestGap, kLongestGap) << "the longest gap followed the " << stepBeforeLongestGap;
    std::cout << "steps: " << stepsDone << ", longest gap between event-loop turns: "
              << std::chrono::duration_cast<std::chrono::microseconds>(longestGap).count() << " us (after the "
              << stepBeforeLongestGap << ")\n";

    const Clock::time_point unplugged = Clock::now();
    page.mouse().unplug();
    page.logic().onDeviceChange(false, page.path());
    EXPECT_TRUE(WiredPage::settle());
    EXPECT_LT(Clock::now() - unplugged, kWindDown) << "the worker kept waiting for the silent mouse";
}

}  // namespace
