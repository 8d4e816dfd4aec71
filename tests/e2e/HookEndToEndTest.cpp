// The keyboard hook on a real X server: keys injected through XTEST as a
// keyboard types them, into another program's focused window.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "XClient.h"
#include "XDesktopEnvironment.h"
#include "ui/KeyboardHook.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr uint32_t VK_A = 0x41;
constexpr uint32_t VK_B = 0x42;
constexpr uint32_t VK_C = 0x43;
constexpr uint32_t VK_LSHIFT = 0xA0;
constexpr uint32_t VK_RCONTROL = 0xA3;

struct SeenKey {
    unsigned message;
    uint32_t vkCode;
    Clock::time_point at;
};

// A handler of the chain that records what it is offered and takes the
// keys it is told to take.
struct RecordingHandler {
    std::vector<uint32_t> takes;  // virtual-key codes to swallow; empty: none
    bool takeEverything = false;
    std::vector<SeenKey> seen;

    static bool handle(void* object, int, unsigned message, const KeyHookEvent& event)
    {
        auto* self = static_cast<RecordingHandler*>(object);
        self->seen.push_back({message, event.vkCode, Clock::now()});
        return self->takeEverything ||
               std::find(self->takes.begin(), self->takes.end(), event.vkCode) != self->takes.end();
    }
};

std::vector<std::pair<unsigned, uint32_t>> offeredKeys(const RecordingHandler& handler)
{
    std::vector<std::pair<unsigned, uint32_t>> keys;
    for (const SeenKey& k : handler.seen) {
        keys.emplace_back(k.message, k.vkCode);
    }
    return keys;
}

struct Stroke {
    uint8_t keycode;
    bool press;
};

// What the focused window receives for `strokes`: the state of each event
// holds the modifiers down before it. A press the hook passes on is replayed
// by the server after it has been applied, so the press of a modifier
// carries its own bit as well.
std::vector<ReceivedKey> expectedReceived(const std::vector<Stroke>& strokes, bool replayed)
{
    std::vector<ReceivedKey> keys;
    uint16_t held = 0;
    for (const Stroke& s : strokes) {
        const uint16_t bit = s.keycode == xkey::ShiftLeft      ? 1 /* Shift */
                             : s.keycode == xkey::ControlRight ? 4 /* Control */
                                                               : 0;
        keys.push_back({s.press, s.keycode, static_cast<uint16_t>(held | (replayed && s.press ? bit : 0))});
        held = s.press ? (held | bit) : (held & ~bit);
    }
    return keys;
}

// The presses among `strokes`, as a handler is offered them.
std::vector<std::pair<unsigned, uint32_t>> pressesOf(const std::vector<Stroke>& strokes)
{
    std::vector<std::pair<unsigned, uint32_t>> presses;
    for (const Stroke& s : strokes) {
        if (s.press) {
            const uint32_t vk = s.keycode == xkey::ShiftLeft      ? VK_LSHIFT
                                : s.keycode == xkey::ControlRight ? VK_RCONTROL
                                : s.keycode == xkey::A            ? VK_A
                                : s.keycode == xkey::B            ? VK_B
                                                                  : VK_C;
            presses.emplace_back(WM_KEYDOWN, vk);
        }
    }
    return presses;
}

class DesktopHook : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(other.open()) << "the other program's window got no focus"; }
    void TearDown() override
    {
        for (RecordingHandler* h : registered) {
            unregisterKeyboardHandler(&RecordingHandler::handle, h);
        }
        switchKeyboardHookOff();
    }
    void add(RecordingHandler& handler)
    {
        registerKeyboardHandler(&handler, &RecordingHandler::handle);
        registered.push_back(&handler);
    }
    void remove(RecordingHandler& handler)
    {
        unregisterKeyboardHandler(&RecordingHandler::handle, &handler);
        registered.erase(std::find(registered.begin(), registered.end(), &handler));
    }
    void type(const std::vector<Stroke>& strokes)
    {
        for (const Stroke& s : strokes) {
            other.inject(s.keycode, s.press);
        }
    }
    // Waits until the other program has received `count` keys; the UI
    // thread keeps answering the hook meanwhile.
    bool receivedKeys(std::size_t count, std::chrono::milliseconds timeout)
    {
        return pumpUntil(other, [&] { return other.received().size() >= count; }, timeout);
    }
    // Waits until `handler` has been offered `count` keys.
    bool offered(const RecordingHandler& handler, std::size_t count)
    {
        return pumpUntil(other, [&] { return handler.seen.size() >= count; });
    }

    XClient other;
    std::vector<RecordingHandler*> registered;
};

TEST_F(DesktopHook, KeysAHandlerTakesNeverReachTheFocusedProgram)
{
    RecordingHandler taker;
    taker.takeEverything = true;
    add(taker);
    ASSERT_TRUE(switchKeyboardHookOn());
    ASSERT_EQ(keyboardHookReach(), KeyboardHookReach::Desktop);

    type({{xkey::A, true}, {xkey::A, false}, {xkey::B, true}, {xkey::B, false}});
    ASSERT_TRUE(offered(taker, 4));
    const std::vector<std::pair<unsigned, uint32_t>> expected = {
        {WM_KEYDOWN, VK_A}, {WM_KEYUP, VK_A}, {WM_KEYDOWN, VK_B}, {WM_KEYUP, VK_B}};
    EXPECT_EQ(offeredKeys(taker), expected);

    // With the taker gone, the next key passes; had any taken key leaked,
    // it would have arrived before it.
    remove(taker);
    type({{xkey::C, true}, {xkey::C, false}});
    ASSERT_TRUE(receivedKeys(2, 5s)) << describe(other.received());
    other.pump();
    const std::vector<ReceivedKey> onlyC = {{true, xkey::C, 0}, {false, xkey::C, 0}};
    EXPECT_EQ(other.received(), onlyC) << describe(other.received());
}

TEST_F(DesktopHook, OnlyTheKeysAHandlerTakesAreWithheld)
{
    RecordingHandler passer;  // first in the chain, takes nothing
    RecordingHandler takerOfA;
    takerOfA.takes = {VK_A};
    add(passer);
    add(takerOfA);
    ASSERT_TRUE(switchKeyboardHookOn());

    type({{xkey::A, true}, {xkey::A, false}, {xkey::B, true}, {xkey::B, false}, {xkey::A, true}, {xkey::A, false}});
    ASSERT_TRUE(receivedKeys(2, 5s));
    // The release of a passed press goes straight to the focused program;
    // a taken press keeps the keyboard, so its release is offered too.
    const std::vector<std::pair<unsigned, uint32_t>> offeredToBoth = {
        {WM_KEYDOWN, VK_A}, {WM_KEYUP, VK_A}, {WM_KEYDOWN, VK_B}, {WM_KEYDOWN, VK_A}, {WM_KEYUP, VK_A}};
    ASSERT_TRUE(offered(passer, offeredToBoth.size()));
    ASSERT_TRUE(offered(takerOfA, offeredToBoth.size()));
    EXPECT_EQ(offeredKeys(passer), offeredToBoth);
    EXPECT_EQ(offeredKeys(takerOfA), offeredToBoth);
    // The last A is taken too: nothing comes after B.
    type({{xkey::C, true}, {xkey::C, false}});
    ASSERT_TRUE(receivedKeys(4, 5s)) << describe(other.received());
    const std::vector<ReceivedKey> expected = {
        {true, xkey::B, 0}, {false, xkey::B, 0}, {true, xkey::C, 0}, {false, xkey::C, 0}};
    EXPECT_EQ(other.received(), expected) << describe(other.received());
}

struct PassCase {
    const char* name;
    bool hookOn;
    bool withPassingHandler;
    std::vector<Stroke> strokes;
};

class KeysNoHandlerTakes : public DesktopHook, public testing::WithParamInterface<PassCase> {};

TEST_P(KeysNoHandlerTakes, ReachTheFocusedProgramUnchangedAndInOrder)
{
    RecordingHandler passer;
    if (GetParam().withPassingHandler) {
        add(passer);
    }
    if (GetParam().hookOn) {
        ASSERT_TRUE(switchKeyboardHookOn());
        ASSERT_EQ(keyboardHookReach(), KeyboardHookReach::Desktop);
    }

    type(GetParam().strokes);
    const std::vector<ReceivedKey> expected = expectedReceived(GetParam().strokes, GetParam().hookOn);
    ASSERT_TRUE(receivedKeys(expected.size(), 5s)) << describe(other.received());
    EXPECT_EQ(other.received(), expected) << describe(other.received());
    if (GetParam().withPassingHandler) {
        // A passed press's release goes straight to the focused program.
        const auto offeredPresses = GetParam().hookOn ? pressesOf(GetParam().strokes)
                                                      : std::vector<std::pair<unsigned, uint32_t>>{};
        EXPECT_EQ(offeredKeys(passer), offeredPresses);
    }
}

const PassCase kPassCases[] = {
    {"ShiftedKeyHookOff", false, true, {{xkey::ShiftLeft, true}, {xkey::A, true}, {xkey::A, false}, {xkey::ShiftLeft, false}}},
    {"OneKeyNoHandler", true, false, {{xkey::A, true}, {xkey::A, false}}},
    {"OverlappingKeysNoHandler", true, false, {{xkey::A, true}, {xkey::B, true}, {xkey::A, false}, {xkey::B, false}}},
    {"ShiftedKeyPassingHandler",
     true,
     true,
     {{xkey::ShiftLeft, true}, {xkey::A, true}, {xkey::A, false}, {xkey::ShiftLeft, false}}},
    {"ControlChordAndTypingPassingHandler",
     true,
     true,
     {{xkey::ControlRight, true},
      {xkey::C, true},
      {xkey::C, false},
      {xkey::ControlRight, false},
      {xkey::A, true},
      {xkey::A, false},
      {xkey::B, true},
      {xkey::B, false}}},
};

INSTANTIATE_TEST_SUITE_P(Table, KeysNoHandlerTakes, testing::ValuesIn(kPassCases),
                         [](const testing::TestParamInfo<PassCase>& info) { return std::string(info.param.name); });

TEST_F(DesktopHook, HoldsNoGrabWhileOff)
{
    const std::set<int> windowManagerGrabs = other.keysGrabbedByOthers();

    ASSERT_TRUE(switchKeyboardHookOn());
    const std::set<int> whileOn = other.keysGrabbedByOthers();
    EXPECT_EQ(whileOn.size(), other.keycodeCount()) << "every keycode is grabbed while the hook is on";

    ASSERT_TRUE(switchKeyboardHookOff());
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::Off);
    EXPECT_EQ(other.keysGrabbedByOthers(), windowManagerGrabs);
    EXPECT_TRUE(other.canGrabKeyboard());

    RecordingHandler taker;
    taker.takeEverything = true;
    add(taker);  // registered, but the hook is off
    type({{xkey::A, true}, {xkey::A, false}});
    ASSERT_TRUE(receivedKeys(2, 5s));
    EXPECT_TRUE(taker.seen.empty());
}

TEST_F(DesktopHook, AnotherProgramsKeyboardGrabRefusesTheHookUntilItEnds)
{
    ASSERT_TRUE(other.holdKeyboard());
    EXPECT_FALSE(switchKeyboardHookOn());
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::OwnWindows);
    EXPECT_TRUE(keyboardHookRefused());

    other.releaseKeyboard();
    EXPECT_TRUE(switchKeyboardHookOn());
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::Desktop);
    EXPECT_FALSE(keyboardHookRefused());
}

// From a key leaving the keyboard (the XTEST request flushed) to the handler
// being called on the UI thread, for presses and releases a handler takes.
TEST_F(DesktopHook, LatencyFromKeyToHandler)
{
    RecordingHandler taker;
    taker.takeEverything = true;
    add(taker);
    ASSERT_TRUE(switchKeyboardHookOn());
    constexpr int kStrokes = 100;
    std::vector<double> latencies;
    for (int i = 0; i < kStrokes; ++i) {
        const bool press = i % 2 == 0;
        other.inject(xkey::A, press);
        const auto injected = other.lastInjection();
        ASSERT_TRUE(offered(taker, static_cast<std::size_t>(i + 1)));
        latencies.push_back(std::chrono::duration<double, std::milli>(taker.seen.back().at - injected).count());
    }
    std::sort(latencies.begin(), latencies.end());
    const double median = latencies[latencies.size() / 2];
    const double p90 = latencies[latencies.size() * 9 / 10];
    const double worst = latencies.back();
    std::printf("hook latency over %d keys: median %.3f ms, 90th percentile %.3f ms, worst %.3f ms\n", kStrokes,
                median, p90, worst);
    RecordProperty("median_ms", std::to_string(median));
    RecordProperty("worst_ms", std::to_string(worst));
    EXPECT_LT(median, 5.0);
}

}  // namespace
