#include "sim/MouseFirmware.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <random>
#include <string>

namespace {

LightDat effectWith(std::uint8_t brightness, std::uint8_t speed, int colorIndex, int direction, std::uint8_t base)
{
    LightDat effect;
    effect.brightness = brightness;
    effect.speed = speed;
    effect.color_index = colorIndex;
    effect.direction = direction;
    for (std::size_t area = 0; area < effect.area_colors.size(); ++area) {
        const auto b = static_cast<std::uint8_t>(base + 3 * area);
        effect.area_colors[area] = RgbColor{b, static_cast<std::uint8_t>(b + 1), static_cast<std::uint8_t>(b + 2)};
    }
    return effect;
}

DpiDat dpiWith(int level, std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return DpiDat{level, red, green, blue, 0};
}

class Firmware : public ::testing::Test {
protected:
    MouseReport only(const MouseReport& request)
    {
        FirmwareResponse response = firmware.handleReport(request);
        EXPECT_EQ(response.replies.size(), 1u);
        return response.replies.empty() ? MouseReport{} : response.replies.front();
    }
    void apply(const MouseReport& request)
    {
        const FirmwareResponse response = firmware.handleReport(request);
        EXPECT_TRUE(response.replies.empty());
        EXPECT_FALSE(response.restart);
    }
    int mode() { return decodeModeReply(only(makeGetModeRequest())); }
    DpiReply dpi() { return decodeDpiReply(only(makeGetDpiRequest())); }
    LightReply light() { return decodeLightReply(only(makeGetLightRequest())); }
    StatusBytes status() { return decodeStatusReply(only(makeGetStatusRequest())); }
    std::array<macrokey_dat_t, kMacroSlotCount> macroTable()
    {
        const FirmwareResponse response = firmware.handleReport(makeReadMacroTableRequest());
        EXPECT_EQ(response.replies.size(), static_cast<std::size_t>(kMacroTableReplyCount));
        std::array<macrokey_dat_t, kMacroSlotCount> table{};
        for (std::size_t i = 0; i < response.replies.size(); ++i) {
            const int half = static_cast<int>(i);
            applyMacroTableReply(half, response.replies[i], table[static_cast<std::size_t>(macroSlotOfHalf(half))]);
        }
        return table;
    }

    MouseFirmware firmware{0x0123};
};

TEST_F(Firmware, StartsFactoryFresh)
{
    const FirmwareState& state = firmware.state();
    for (const ModeLighting& lighting : state.modes) {
        EXPECT_EQ(lighting.selectedEffect, 0);
        for (const LightDat& effect : lighting.effects)
            EXPECT_EQ(effect, LightDat{}) << "brightness 3, speed 2, colour 0, direction 0, red areas";
    }
    EXPECT_EQ(state.currentMode, 0);
    EXPECT_EQ(state.currentDpiStage, 0);
    EXPECT_EQ(state.dpiStages[0], dpiWith(0, 0xFF, 0, 0));
    for (const macrokey_dat_t& slot : state.macroSlots)
        EXPECT_EQ(slot, macrokey_dat_t{});
    EXPECT_EQ(status(), StatusBytes{});
    EXPECT_EQ(state.version, 0x0123);
}

TEST_F(Firmware, FactoryStagesDifferFromEachOther)
{
    const FirmwareState& state = firmware.state();
    for (std::size_t a = 0; a < state.dpiStages.size(); ++a)
        for (std::size_t b = a + 1; b < state.dpiStages.size(); ++b)
            EXPECT_NE(state.dpiStages[a], state.dpiStages[b]) << a << " and " << b;
}

TEST_F(Firmware, RepliesCarryTheFieldsWhereTheHostReadsThem)
{
    const MouseReport version = only(makeGetVersionRequest());
    EXPECT_EQ(version[0], 0x01);
    EXPECT_EQ(version[1], 0x23);
    EXPECT_EQ(only(makeGetModeRequest())[0], 0x01) << "mode plus one";

    const MouseReport dpiReply = only(makeGetDpiRequest());
    EXPECT_EQ(dpiReply[2], 0x00);
    EXPECT_EQ(dpiReply[3], 0x00);
    EXPECT_EQ(dpiReply[4], 0xFF);

    LightDat effect = effectWith(7, 5, 0x01020304, 1, 0x40);
    apply(makeSetLightRequest(0, effect));
    const MouseReport lightReply = only(makeGetLightRequest());
    EXPECT_EQ(lightReply[2], 0x00);
    EXPECT_EQ(lightReply[3], 7);
    EXPECT_EQ(lightReply[4], 5);
    // SetLight sent the colour index as one byte (0x04); the reply's 32-bit field gives it back.
    EXPECT_EQ(lightReply[7], 0x04);
    EXPECT_EQ(lightReply[8], 0x00);
    EXPECT_EQ(lightReply[11], 0x01);
    EXPECT_EQ(lightReply[15], 0x40) << "area 1 red, stored order";
    EXPECT_EQ(lightReply[16], 0x41);
    EXPECT_EQ(lightReply[17], 0x42);
}

struct ReplyCountCase {
    const char* name;
    std::function<MouseReport()> request;
    std::size_t replies;
    bool restart;
};

void PrintTo(const ReplyCountCase& c, std::ostream* os)
{
    *os << c.name;
}

class FirmwareReplies : public ::testing::TestWithParam<ReplyCountCase> {};

TEST_P(FirmwareReplies, AnswerReadsOnly)
{
    MouseFirmware firmware;
    const FirmwareResponse response = firmware.handleReport(GetParam().request());
    EXPECT_EQ(response.replies.size(), GetParam().replies);
    EXPECT_EQ(response.restart, GetParam().restart);
}

INSTANTIATE_TEST_SUITE_P(
    Firmware, FirmwareReplies,
    ::testing::Values(
        ReplyCountCase{"GetMode", makeGetModeRequest, 1, false},
        ReplyCountCase{"GetDpi", makeGetDpiRequest, 1, false},
        ReplyCountCase{"GetLight", makeGetLightRequest, 1, false},
        ReplyCountCase{"ReadMacroTable", makeReadMacroTableRequest, 48, false},
        ReplyCountCase{"GetStatus", makeGetStatusRequest, 1, false},
        ReplyCountCase{"FactoryReset", makeFactoryResetRequest, 0, true},
        ReplyCountCase{"GetVersion", makeGetVersionRequest, 1, false},
        ReplyCountCase{"SetMode", [] { return makeSetModeRequest(1); }, 0, false},
        ReplyCountCase{"SetDpi", [] { return makeSetDpiRequest(0, DpiDat{}); }, 0, false},
        ReplyCountCase{"SetLight", [] { return makeSetLightRequest(0, LightDat{}); }, 0, false},
        ReplyCountCase{"SetButtonFunction", [] { return makeSetButtonFunctionRequest(0, 4); }, 0, false},
        ReplyCountCase{"BindMacro", [] { return makeBindMacroRequest(0, 0); }, 0, false},
        ReplyCountCase{"WriteMacroHalf", [] { return makeWriteMacroHalfRequest(0, macrokey_dat_t{}); }, 0, false},
        ReplyCountCase{"WrongFrameByte",
                       [] {
                           MouseReport request = makeGetVersionRequest();
                           request[0] = 0x06;
                           return request;
                       },
                       0, false},
        ReplyCountCase{"UnknownCommand",
                       [] {
                           MouseReport request = makeGetVersionRequest();
                           request[1] = 0x10;
                           return request;
                       },
                       0, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct ModeCase {
    const char* name;
    std::uint8_t byte2;
    int mode;
};

void PrintTo(const ModeCase& c, std::ostream* os)
{
    *os << c.name;
}

class FirmwareSetMode : public ::testing::TestWithParam<ModeCase> {};

TEST_P(FirmwareSetMode, TakesValidModesOnly)
{
    MouseFirmware firmware;
    ASSERT_TRUE(firmware.handleReport(makeSetModeRequest(1)).replies.empty());
    MouseReport request = makeSetModeRequest(0);
    request[2] = GetParam().byte2;
    firmware.handleReport(request);
    EXPECT_EQ(decodeModeReply(firmware.handleReport(makeGetModeRequest()).replies.at(0)), GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(Firmware, FirmwareSetMode,
                         ::testing::Values(ModeCase{"Mode0", 1, 0}, ModeCase{"Mode2", 3, 2},
                                           ModeCase{"ZeroIsIgnored", 0, 1}, ModeCase{"FourIsIgnored", 4, 1},
                                           ModeCase{"TopByteIsIgnored", 0xFF, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Firmware, SetDpiForTheCurrentStageChangesIt)
{
    apply(makeSetDpiRequest(0, dpiWith(9, 1, 2, 3)));
    const DpiReply reply = dpi();
    EXPECT_EQ(reply.stage, 0);
    EXPECT_EQ(reply.level, 9);
    EXPECT_EQ(reply.red, 1);
    EXPECT_EQ(reply.green, 2);
    EXPECT_EQ(reply.blue, 3);
}

// The host changes stage by sending the new stage with the previous stage's
// data, then reads the stage back: it must see the new stage's own settings.
TEST_F(Firmware, SetDpiForAnotherStageSelectsItAndKeepsItsSettings)
{
    const DpiDat stage2 = firmware.state().dpiStages[2];
    apply(makeSetDpiRequest(0, dpiWith(4, 0xFF, 0, 0)));
    apply(makeSetDpiRequest(2, dpiWith(4, 0xFF, 0, 0)));
    const DpiReply reply = dpi();
    EXPECT_EQ(reply.stage, 2);
    EXPECT_EQ(reply.level, stage2.level);
    EXPECT_EQ((RgbColor{reply.red, reply.green, reply.blue}), (RgbColor{stage2.red, stage2.green, stage2.blue}));
    EXPECT_EQ(firmware.state().dpiStages[0], dpiWith(4, 0xFF, 0, 0)) << "stage 0 keeps what was set for it";
}

TEST_F(Firmware, SetDpiKeepsTheLevelNibble)
{
    apply(makeSetDpiRequest(0, dpiWith(15, 0, 0, 0)));
    EXPECT_EQ(dpi().level, 15);
}

TEST_F(Firmware, SetDpiForAStageBeyondTheEighthIsIgnored)
{
    const FirmwareState before = firmware.state();
    for (int stage = kDpiStageCount; stage < 16; ++stage)
        apply(makeSetDpiRequest(stage, dpiWith(3, 3, 3, 3)));
    EXPECT_EQ(firmware.state(), before);
}

TEST_F(Firmware, SetLightForTheSelectedEffectRoundTrips)
{
    const LightDat effect = effectWith(1, 4, 7, 1, 0x10);
    apply(makeSetLightRequest(0, effect));
    const LightReply reply = light();
    EXPECT_EQ(reply.effectIndex, 0);
    EXPECT_EQ(reply.effect, effect);
}

TEST_F(Firmware, SetLightForAnotherEffectSelectsItAndKeepsItsSettings)
{
    const LightDat first = effectWith(1, 4, 7, 1, 0x10);
    apply(makeSetLightRequest(0, first));
    apply(makeSetLightRequest(5, first));
    const LightReply reply = light();
    EXPECT_EQ(reply.effectIndex, 5);
    EXPECT_EQ(reply.effect, LightDat{});
    const LightDat fifth = effectWith(2, 2, 3, 0, 0x80);
    apply(makeSetLightRequest(5, fifth));
    EXPECT_EQ(light().effect, fifth);
    EXPECT_EQ(firmware.state().modes[0].effects[0], first);
}

TEST_F(Firmware, SetLightBeyondTheTenthEffectIsIgnored)
{
    const FirmwareState before = firmware.state();
    apply(makeSetLightRequest(kLightEffectCount, effectWith(9, 9, 9, 9, 9)));
    apply(makeSetLightRequest(0xFF, effectWith(9, 9, 9, 9, 9)));
    EXPECT_EQ(firmware.state(), before);
}

TEST_F(Firmware, EachModeKeepsItsOwnEffects)
{
    const LightDat mode0Effect = effectWith(1, 1, 1, 1, 0x20);
    apply(makeSetLightRequest(0, mode0Effect));
    apply(makeSetModeRequest(1));
    apply(makeSetLightRequest(3, LightDat{}));
    const LightDat mode1Effect = effectWith(2, 2, 2, 0, 0x60);
    apply(makeSetLightRequest(3, mode1Effect));
    EXPECT_EQ(light().effectIndex, 3);
    EXPECT_EQ(light().effect, mode1Effect);

    apply(makeSetModeRequest(0));
    EXPECT_EQ(mode(), 0);
    EXPECT_EQ(light().effectIndex, 0);
    EXPECT_EQ(light().effect, mode0Effect);
}

TEST_F(Firmware, StatusShowsAssignedButtonsOfTheCurrentMode)
{
    apply(makeSetButtonFunctionRequest(1, 0x04));
    apply(makeBindMacroRequest(2, 5));
    EXPECT_EQ(status(), (StatusBytes{0, 1, 1, 0, 0, 0}));

    apply(makeSetModeRequest(1));
    EXPECT_EQ(status(), StatusBytes{}) << "mode 1 has no assignments";
    apply(makeBindMacroRequest(0, 8));
    EXPECT_EQ(status(), (StatusBytes{1, 0, 0, 0, 0, 0}));

    apply(makeSetModeRequest(0));
    EXPECT_EQ(status(), (StatusBytes{0, 1, 1, 0, 0, 0}));
}

TEST_F(Firmware, AButtonHasOneAssignmentAtATime)
{
    apply(makeBindMacroRequest(3, 3));
    apply(makeSetButtonFunctionRequest(3, 0x05));
    EXPECT_EQ(firmware.state().buttons[0][3], (ButtonAssignment{0x05, 0}));
    apply(makeBindMacroRequest(3, 4));
    EXPECT_EQ(firmware.state().buttons[0][3], (ButtonAssignment{0, 5}));
}

TEST_F(Firmware, RestoringTheDefaultClearsTheButton)
{
    apply(makeBindMacroRequest(4, 12));
    apply(makeSetButtonFunctionRequest(4, 0));
    apply(makeBindMacroRequest(4, kNoMacroSlot));
    EXPECT_EQ(status(), StatusBytes{});
}

TEST_F(Firmware, ButtonsOutsideTheRangeAreIgnored)
{
    const FirmwareState before = firmware.state();
    apply(makeSetButtonFunctionRequest(-1, 0x04)); // button byte 0
    apply(makeSetButtonFunctionRequest(kButtonCount, 0x04));
    apply(makeBindMacroRequest(kButtonCount, 1));
    apply(makeBindMacroRequest(0, kMacroSlotCount)); // slot byte 25
    EXPECT_EQ(firmware.state(), before);
}

TEST_F(Firmware, TheLastTwoButtonsHaveNoStatusByte)
{
    apply(makeSetButtonFunctionRequest(6, 0x04));
    apply(makeSetButtonFunctionRequest(7, 0x04));
    EXPECT_EQ(status(), StatusBytes{});
    EXPECT_EQ(firmware.state().buttons[0][7], (ButtonAssignment{0x04, 0}));
}

TEST_F(Firmware, MacroTableReadsBackWhatWasWritten)
{
    std::array<macrokey_dat_t, kMacroSlotCount> written{};
    for (std::size_t slot = 0; slot < written.size(); ++slot) {
        written[slot].mode = static_cast<std::uint8_t>(slot + 1);
        for (std::size_t item = 0; item < written[slot].items.size(); ++item)
            written[slot].items[item] =
                macrokey_item_t{static_cast<std::uint8_t>(slot * 7 + item), static_cast<std::uint8_t>(item | 0x80)};
    }
    for (int half = 0; half < kMacroTableReplyCount; ++half)
        apply(makeWriteMacroHalfRequest(half, written[static_cast<std::size_t>(macroSlotOfHalf(half))]));
    EXPECT_EQ(firmware.state().macroSlots, written);
    EXPECT_EQ(macroTable(), written);
}

TEST_F(Firmware, MacroTableRepliesNumberTheirHalves)
{
    const FirmwareResponse response = firmware.handleReport(makeReadMacroTableRequest());
    ASSERT_EQ(response.replies.size(), 48u);
    for (std::size_t i = 0; i < response.replies.size(); ++i)
        EXPECT_EQ(response.replies[i][2], i);
}

TEST_F(Firmware, AHalfBeyondTheTableIsIgnored)
{
    macrokey_dat_t slot{};
    slot.mode = 9;
    slot.items[0] = macrokey_item_t{1, 2};
    const FirmwareState before = firmware.state();
    apply(makeWriteMacroHalfRequest(kMacroTableReplyCount, slot));
    apply(makeWriteMacroHalfRequest(0xFF, slot));
    EXPECT_EQ(firmware.state(), before);
}

TEST_F(Firmware, FactoryResetRestoresEverythingButTheVersion)
{
    apply(makeSetModeRequest(2));
    apply(makeSetLightRequest(0, effectWith(0, 0, 1, 1, 0)));
    apply(makeSetLightRequest(6, LightDat{}));
    apply(makeSetDpiRequest(5, DpiDat{}));
    apply(makeBindMacroRequest(0, 16));
    macrokey_dat_t slot{};
    slot.mode = 1;
    apply(makeWriteMacroHalfRequest(32, slot));
    ASSERT_NE(firmware.state(), factoryFirmwareState(0x0123));

    const FirmwareResponse response = firmware.handleReport(makeFactoryResetRequest());
    EXPECT_TRUE(response.restart);
    EXPECT_TRUE(response.replies.empty());
    EXPECT_EQ(firmware.state(), factoryFirmwareState(0x0123));
}

TEST(FirmwareState, InvalidSelectionsAreRefused)
{
    MouseFirmware firmware;
    const FirmwareState valid = firmware.state();
    const std::function<void(FirmwareState&)> breakers[] = {
        [](FirmwareState& s) { s.currentMode = kModeCount; },
        [](FirmwareState& s) { s.currentMode = -1; },
        [](FirmwareState& s) { s.currentDpiStage = kDpiStageCount; },
        [](FirmwareState& s) { s.modes[2].selectedEffect = kLightEffectCount; },
        [](FirmwareState& s) { s.modes[1].selectedEffect = -1; },
    };
    for (const auto& breakState : breakers) {
        FirmwareState broken = valid;
        breakState(broken);
        EXPECT_FALSE(isValidFirmwareState(broken));
        EXPECT_FALSE(firmware.setState(broken));
        EXPECT_EQ(firmware.state(), valid);
    }
    FirmwareState other = valid;
    other.currentMode = 2;
    EXPECT_TRUE(firmware.setState(other));
    EXPECT_EQ(firmware.state(), other);
}

// Whatever the host sends, the firmware keeps a valid state and answers reads
// with one report (48 for the macro table).
TEST(FirmwareRobustness, AnyRequestKeepsTheStateValid)
{
    MouseFirmware firmware;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> command(0xF3, 0xFF);
    for (int round = 0; round < 20000; ++round) {
        MouseReport request;
        for (std::uint8_t& b : request)
            b = static_cast<std::uint8_t>(byte(random));
        request[0] = round % 10 == 0 ? request[0] : kMouseReportTag;
        request[1] = static_cast<std::uint8_t>(round % 7 == 0 ? request[1] : command(random));
        const FirmwareResponse response = firmware.handleReport(request);
        ASSERT_TRUE(isValidFirmwareState(firmware.state())) << "round " << round;
        EXPECT_LE(response.replies.size(), 48u);
    }
}

} // namespace
