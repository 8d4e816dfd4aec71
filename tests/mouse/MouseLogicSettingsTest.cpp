// Settings the page changes: mode, light effect, DPI stage and values, and
// the factory reset, each checked on the wire and on the page's values.

#include "LogicHarness.h"

#include "config/ProfileStore.h"
#include "sim/MouseFirmware.h"

#include <gtest/gtest.h>

#include <ostream>

#include <functional>

namespace logictest {
namespace {

// The default effect as SetLight carries it: brightness 3, speed 2, colour
// choice 0, direction 0, every area red (sent blue, green, red).
constexpr const char* kDefaultEffectBytes = "03 02 00 00 00 00 FF 00 00 FF 00 00 FF 00 00 FF";

std::string setLight(const char* index, const char* effectBytes)
{
    return std::string("07 FC ") + index + " " + effectBytes;
}

TEST(MouseLogicMode, ChangingTheModeSwitchesPausesAndReadsThatModesLight)
{
    const LightDat modeOneLight{5, 1, 3, 1, {{{0x10, 0x20, 0x30}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}};
    FirmwareState state = factoryFirmwareState();
    state.modes[1].selectedEffect = 6;
    state.modes[1].effects[6] = modeOneLight;
    LogicHarness harness;
    ASSERT_TRUE(harness.mouse().setFirmwareState(state));
    harness.startUp();
    harness.clearWire();

    harness.page().mode.setCurrentValue(1, 0, false, false);
    harness.settle();

    const std::vector<WireRecord> wire = harness.wire();
    EXPECT_EQ(hostRequests(wire), normalisedRequests({"07 FA 02", "07 F5", "07 F7"}));
    EXPECT_GE(requestGapMs(wire, 0, 1), leastGapMs(50.0));
    EXPECT_EQ(harness.page().effectIndex.current(), 6);
    EXPECT_EQ(harness.page().light.current(), modeOneLight);
    EXPECT_EQ(harness.mouse().firmwareState().currentMode, 1);
}

TEST(MouseLogicDpiStage, SelectingAStageSendsItWithThePreviousStagesDataThenReadsIt)
{
    const DpiDat stageTwo{9, 0x00, 0x80, 0xFF, 0};
    FirmwareState state = factoryFirmwareState();
    state.dpiStages[0] = DpiDat{4, 0xFF, 0x00, 0x00, 0};
    state.dpiStages[2] = stageTwo;
    LogicHarness harness;
    ASSERT_TRUE(harness.mouse().setFirmwareState(state));
    harness.startUp();
    harness.clearWire();

    harness.page().dpiStage.setCurrentValue(2, 0, false, false);
    harness.settle();

    const std::vector<WireRecord> wire = harness.wire();
    EXPECT_EQ(hostRequests(wire), normalisedRequests({"07 FB 42 FF 00 00", "07 F4"}));
    EXPECT_GE(requestGapMs(wire, 0, 1), leastGapMs(20.0));
    EXPECT_EQ(harness.page().dpiStage.current(), 2);
    EXPECT_EQ(harness.page().dpi.current(), stageTwo);
}

// One write of the page, as its widgets make it, and the requests it causes
// on a factory-fresh mouse (mode 0, effect 0, stage 0).
struct PageWriteCase {
    const char* name;
    std::function<void(PageMembers&)> write;
    std::vector<std::string> requests;
};

void PrintTo(const PageWriteCase& row, std::ostream* out)
{
    *out << row.name;
}

class MouseLogicPageWrite : public ::testing::TestWithParam<PageWriteCase> {};

TEST_P(MouseLogicPageWrite, SendsWhatTheWriteAsksFor)
{
    const PageWriteCase& row = GetParam();
    LogicHarness harness;
    harness.startUp();
    harness.clearWire();

    row.write(harness.page());
    harness.settle();

    EXPECT_EQ(hostRequests(harness.wire()), normalisedRequests(row.requests));
}

INSTANTIATE_TEST_SUITE_P(
    Widgets, MouseLogicPageWrite,
    ::testing::Values(
        PageWriteCase{"DpiLevelSlider",
                      [](PageMembers& page) {
                          page.dpi.current().level = 7;
                          page.dpi.notifyOthers(0, false);
                      },
                      {"07 FB 70 FF 00 00"}},
        PageWriteCase{"DpiColour",
                      [](PageMembers& page) {
                          page.dpi.current().red = 0x10;
                          page.dpi.current().green = 0x20;
                          page.dpi.current().blue = 0x30;
                          page.dpi.notifyOthers(0, true);
                      },
                      {"07 FB 00 10 20 30"}},
        PageWriteCase{"LightSpeedSlider",
                      [](PageMembers& page) {
                          page.light.current().speed = 4;
                          page.light.notifyOthers(0, false);
                      },
                      {"07 FC 00 03 04 00 00 00 00 FF 00 00 FF 00 00 FF 00 00 FF"}},
        PageWriteCase{"LightAreaColour",
                      [](PageMembers& page) {
                          page.light.current().area_colors[2] = RgbColor{0x11, 0x22, 0x33};
                          page.light.notifyOthers(0, true);
                      },
                      {"07 FC 00 03 02 00 00 00 00 FF 00 00 FF 33 22 11 00 00 FF"}},
        PageWriteCase{"EffectCombo",
                      [](PageMembers& page) { page.effectIndex.setCurrentValue(5, 1, true, false); },
                      {setLight("05", kDefaultEffectBytes), "07 F5"}},
        PageWriteCase{"DpiBrightnessSlider",
                      [](PageMembers& page) { page.dpiBrightness.setCurrentValue(5, 0, false, false); },
                      {}},
        PageWriteCase{"ModeTheMouseDoesNotHave",
                      [](PageMembers& page) { page.mode.setCurrentValue(3, 0, false, false); },
                      {}},
        PageWriteCase{"EffectTheModeDoesNotHave",
                      [](PageMembers& page) { page.effectIndex.setCurrentValue(10, 1, true, false); },
                      {}},
        PageWriteCase{"StageTheMouseDoesNotHave",
                      [](PageMembers& page) { page.dpiStage.setCurrentValue(8, 0, false, false); },
                      {}},
        // Its low nibble would name stage 2.
        PageWriteCase{"StageAliasingAnotherStage",
                      [](PageMembers& page) { page.dpiStage.setCurrentValue(18, 0, false, false); },
                      {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MouseLogicLight, AnEffectChangeCarriesTheEditedPreviousEffectAndReadsTheNewOne)
{
    const LightDat effectFive{1, 1, 6, 0, {{{0, 0, 0xFF}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}};
    FirmwareState state = factoryFirmwareState();
    state.modes[0].effects[5] = effectFive;
    LogicHarness harness;
    ASSERT_TRUE(harness.mouse().setFirmwareState(state));
    harness.startUp();
    harness.clearWire();

    harness.page().light.current().speed = 4;
    harness.page().light.notifyOthers(0, false);
    harness.settle();
    harness.page().effectIndex.setCurrentValue(5, 1, true, false);
    harness.settle();

    const char* editedDefault = "03 04 00 00 00 00 FF 00 00 FF 00 00 FF 00 00 FF";
    EXPECT_EQ(hostRequests(harness.wire()),
              normalisedRequests({setLight("00", editedDefault), setLight("05", editedDefault), "07 F5"}));
    EXPECT_EQ(harness.page().light.current(), effectFive);
    // The edit reached effect 0; the mouse kept effect 5 when it was selected.
    const FirmwareState after = harness.mouse().firmwareState();
    EXPECT_EQ(after.modes[0].effects[0].speed, 4);
    EXPECT_EQ(after.modes[0].effects[5], effectFive);
    EXPECT_EQ(after.modes[0].selectedEffect, 5);
}

// Two profiles with a macro and a record each, the second selected.
ProfileStore storeWithAssignments()
{
    ProfileStore store;
    for (int id = 0; id < 2; ++id) {
        ProfileGroup group;
        group.id = id;
        group.name = L"profile";
        group.param.page = 2;
        group.macroSel = 0;
        group.macros.push_back(MacroGroup{L"macro", {MacroItem{0x41, 0, 10, L"A"}}});
        group.records.push_back(RecordGroup{1, 1, 1, L"Right button", L"macro", {}});
        store.groups.push_back(group);
    }
    store.sel = 1;
    return store;
}

void requestFactoryRestore(PageMembers& page)
{
    page.factoryRestore.current() = 1;
    page.factoryRestore.notifyOthers(0, true);
}

TEST(MouseLogicFactoryReset, ResetsTheMouseThePublishedValuesAndTheProfileStore)
{
    FirmwareState state = factoryFirmwareState();
    state.currentMode = 1;
    state.modes[1].selectedEffect = 4;
    state.currentDpiStage = 3;
    LogicHarness harness;
    ASSERT_TRUE(harness.mouse().setFirmwareState(state));
    // The mouse stays on the bus until the test is over.
    harness.mouse().setRestartTiming(10s, 100ms);
    harness.startUp();
    ASSERT_EQ(harness.page().effectIndex.current(), 4);
    mouseProfileStore() = storeWithAssignments();
    harness.clearWire();

    requestFactoryRestore(harness.page());
    harness.settle();

    EXPECT_EQ(hostRequests(harness.wire()), normalisedRequests({"07 F8", setLight("00", kDefaultEffectBytes), "07 F5"}));
    PageMembers& page = harness.page();
    EXPECT_EQ(page.mode.current(), 0);
    EXPECT_EQ(page.dpiStage.current(), 0);
    EXPECT_EQ(page.dpi.current(), (DpiDat{0, 0xFF, 0x00, 0x00, 0}));
    EXPECT_EQ(page.effectIndex.current(), 0);
    EXPECT_EQ(page.light.current(), LightDat{});

    const ProfileStore& store = mouseProfileStore();
    EXPECT_EQ(store.sel, 0);
    ASSERT_EQ(store.groups.size(), 2u);
    for (const ProfileGroup& group : store.groups) {
        EXPECT_EQ(group.param, ProfileParam{});
        EXPECT_EQ(group.macroSel, -1);
        EXPECT_TRUE(group.macros.empty());
        EXPECT_TRUE(group.records.empty());
        EXPECT_EQ(group.name, L"profile");
    }
}

// A request that never reached the mouse leaves its settings as they were,
// so the host keeps the page's values and the user's assignments too.
TEST(MouseLogicFactoryReset, WithoutTheMouseNothingIsReset)
{
    LogicHarness harness;
    harness.mouse().unplug();
    harness.startUp();
    harness.page().mode.setCurrentValue(2, 0, false, false);
    harness.settle();
    mouseProfileStore() = storeWithAssignments();

    requestFactoryRestore(harness.page());
    harness.settle();

    EXPECT_TRUE(harness.wire().empty());
    EXPECT_EQ(harness.page().mode.current(), 2);
    const ProfileStore expected = storeWithAssignments();
    EXPECT_EQ(mouseProfileStore().sel, expected.sel);
    EXPECT_EQ(mouseProfileStore().groups, expected.groups);
}

}  // namespace
}  // namespace logictest
