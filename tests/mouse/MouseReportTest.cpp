#include "mouse/MouseReport.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

// The report that starts with `head` and is zero after it.
MouseReport reportStartingWith(const std::vector<std::uint8_t>& head)
{
    MouseReport report{};
    std::copy(head.begin(), head.end(), report.begin());
    return report;
}

LightDat exampleEffect()
{
    LightDat effect;
    effect.brightness = 3;
    effect.speed = 2;
    effect.color_index = 0;
    effect.direction = 1;
    effect.area_colors[0] = RgbColor{0x11, 0x22, 0x33};
    return effect;
}

// A slot image whose byte i (0 to 120) is i + 1, mode 0x80.
macrokey_dat_t numberedSlot()
{
    macrokey_dat_t slot{};
    slot.mode = 0x80;
    for (std::size_t i = 0; i < slot.items.size(); ++i) {
        slot.items[i].key = static_cast<std::uint8_t>(2 * i + 2);
        slot.items[i].timing = static_cast<std::uint8_t>(2 * i + 3);
    }
    return slot;
}

std::vector<std::uint8_t> numberedBytes(int first, int count)
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<std::uint8_t>(first + i));
    return bytes;
}

std::vector<std::uint8_t> concat(std::vector<std::uint8_t> head, const std::vector<std::uint8_t>& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

struct RequestCase {
    const char* name;
    std::function<MouseReport()> build;
    std::vector<std::uint8_t> head; // every byte after it is 0
};

void PrintTo(const RequestCase& c, std::ostream* os)
{
    *os << c.name;
}

class RequestBytes : public ::testing::TestWithParam<RequestCase> {};

TEST_P(RequestBytes, MatchTheCommandTable)
{
    const MouseReport built = GetParam().build();
    const MouseReport expected = reportStartingWith(GetParam().head);
    for (std::size_t i = 0; i < kMouseReportSize; ++i)
        EXPECT_EQ(built[i], expected[i]) << "byte " << i;
}

DpiDat dpi(int level, std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t reserved = 0)
{
    DpiDat value;
    value.level = level;
    value.red = red;
    value.green = green;
    value.blue = blue;
    value.reserved = reserved;
    return value;
}

INSTANTIATE_TEST_SUITE_P(
    MouseReport, RequestBytes,
    ::testing::Values(
        RequestCase{"GetMode", makeGetModeRequest, {0x07, 0xF3}},
        RequestCase{"GetDpi", makeGetDpiRequest, {0x07, 0xF4}},
        RequestCase{"GetLight", makeGetLightRequest, {0x07, 0xF5}},
        RequestCase{"ReadMacroTable", makeReadMacroTableRequest, {0x07, 0xF6}},
        RequestCase{"GetStatus", makeGetStatusRequest, {0x07, 0xF7}},
        RequestCase{"FactoryReset", makeFactoryResetRequest, {0x07, 0xF8}},
        RequestCase{"GetVersion", makeGetVersionRequest, {0x07, 0xF9}},
        RequestCase{"SetModeZero", [] { return makeSetModeRequest(0); }, {0x07, 0xFA, 0x01}},
        RequestCase{"SetModeTwo", [] { return makeSetModeRequest(2); }, {0x07, 0xFA, 0x03}},
        RequestCase{"SetModeLargestIntWrapsToZero", [] { return makeSetModeRequest(0x7FFFFFFF); }, {0x07, 0xFA}},
        RequestCase{"SetDpiStage3Level5Red",
                    [] { return makeSetDpiRequest(3, dpi(5, 0xFF, 0, 0)); },
                    {0x07, 0xFB, 0x53, 0xFF, 0x00, 0x00}},
        RequestCase{"SetDpiStage2Level13", [] { return makeSetDpiRequest(2, dpi(13, 1, 2, 3)); },
                    {0x07, 0xFB, 0xD2, 0x01, 0x02, 0x03}},
        RequestCase{"SetDpiStageFromPreviousLevel", [] { return makeSetDpiRequest(2, dpi(4, 0xFF, 0, 0)); },
                    {0x07, 0xFB, 0x42, 0xFF, 0x00, 0x00}},
        RequestCase{"SetDpiLevelKeepsItsLowFourBits", [] { return makeSetDpiRequest(1, dpi(0x35, 0, 0, 0)); },
                    {0x07, 0xFB, 0x51}},
        RequestCase{"SetDpiStageKeepsItsLowFourBits", [] { return makeSetDpiRequest(0x1A, dpi(0, 0, 0, 0)); },
                    {0x07, 0xFB, 0x0A}},
        RequestCase{"SetDpiNeverSendsReserved", [] { return makeSetDpiRequest(0, dpi(0, 9, 8, 7, 0x77)); },
                    {0x07, 0xFB, 0x00, 0x09, 0x08, 0x07}},
        RequestCase{"SetLightExample", [] { return makeSetLightRequest(4, exampleEffect()); },
                    {0x07, 0xFC, 0x04, 0x03, 0x02, 0x00, 0x01, 0x33, 0x22, 0x11, 0x00, 0x00, 0xFF, 0x00, 0x00,
                     0xFF, 0x00, 0x00, 0xFF}},
        RequestCase{"SetLightReversesEveryArea",
                    [] {
                        LightDat effect = exampleEffect();
                        for (std::uint8_t area = 0; area < 4; ++area)
                            effect.area_colors[area] = RgbColor{static_cast<std::uint8_t>(0x10 * area + 1),
                                                                static_cast<std::uint8_t>(0x10 * area + 2),
                                                                static_cast<std::uint8_t>(0x10 * area + 3)};
                        return makeSetLightRequest(9, effect);
                    },
                    {0x07, 0xFC, 0x09, 0x03, 0x02, 0x00, 0x01, 0x03, 0x02, 0x01, 0x13, 0x12, 0x11, 0x23, 0x22, 0x21,
                     0x33, 0x32, 0x31}},
        RequestCase{"SetLightSendsLowBytesOfColourIndexAndDirection",
                    [] {
                        LightDat effect = exampleEffect();
                        effect.color_index = 0x1234;
                        effect.direction = -1;
                        return makeSetLightRequest(0, effect);
                    },
                    {0x07, 0xFC, 0x00, 0x03, 0x02, 0x34, 0xFF, 0x33, 0x22, 0x11, 0x00, 0x00, 0xFF, 0x00, 0x00,
                     0xFF, 0x00, 0x00, 0xFF}},
        RequestCase{"SetButtonFunction", [] { return makeSetButtonFunctionRequest(1, 0x04); },
                    {0x07, 0xFD, 0x02, 0x04}},
        RequestCase{"SetButtonFunctionNone", [] { return makeSetButtonFunctionRequest(7, 0); }, {0x07, 0xFD, 0x08}},
        RequestCase{"BindMacroSlot17", [] { return makeBindMacroRequest(1, 17); }, {0x07, 0xFE, 0x02, 0x12}},
        RequestCase{"BindMacroNone", [] { return makeBindMacroRequest(0, kNoMacroSlot); }, {0x07, 0xFE, 0x01, 0x00}},
        RequestCase{"WriteMacroFirstHalf", [] { return makeWriteMacroHalfRequest(34, numberedSlot()); },
                    concat({0x07, 0xFF, 0x22, 0x80}, numberedBytes(2, 60))},
        RequestCase{"WriteMacroSecondHalf", [] { return makeWriteMacroHalfRequest(35, numberedSlot()); },
                    concat({0x07, 0xFF, 0x23, 0x80}, numberedBytes(62, 60))},
        RequestCase{"WriteMacroHalfZero", [] { return makeWriteMacroHalfRequest(0, numberedSlot()); },
                    concat({0x07, 0xFF, 0x00, 0x80}, numberedBytes(2, 60))}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MouseReport, WriteMacroHalvesTogetherCarryTheWholeSlot)
{
    const macrokey_dat_t slot = numberedSlot();
    macrokey_dat_t rebuilt{};
    const MouseReport first = makeWriteMacroHalfRequest(2 * 5, slot);
    const MouseReport second = makeWriteMacroHalfRequest(2 * 5 + 1, slot);
    // A WriteMacroHalf request and a macro-table reply share bytes 3 to 63.
    applyMacroTableReply(0, first, rebuilt);
    applyMacroTableReply(1, second, rebuilt);
    EXPECT_EQ(rebuilt, slot);
}

TEST(VersionReply, HighByteFirst)
{
    EXPECT_EQ(decodeVersionReply(reportStartingWith({0x01, 0x23})), 0x0123);
    EXPECT_EQ(decodeVersionReply(reportStartingWith({0xFF, 0xFE})), 0xFFFE);
    EXPECT_EQ(decodeVersionReply(reportStartingWith({})), 0);
}

struct ModeCase {
    std::uint8_t byte0;
    int mode;
};

class ModeReply : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ModeReply, IsByteZeroMinusOne)
{
    EXPECT_EQ(decodeModeReply(reportStartingWith({GetParam().byte0})), GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(MouseReport, ModeReply,
                         ::testing::Values(ModeCase{0x00, -1}, ModeCase{0x01, 0}, ModeCase{0x03, 2},
                                           ModeCase{0x04, 3}, ModeCase{0xFF, 254}));

TEST(ModeReply, ZeroGivesNoValidMode)
{
    const int mode = decodeModeReply(reportStartingWith({0x00}));
    EXPECT_FALSE(mode >= 0 && mode < kModeCount);
}

TEST(DpiReply, TakesStageLevelAndColourAndKeepsReserved)
{
    const DpiReply reply = decodeDpiReply(reportStartingWith({0x07, 0xF4, 0x05, 0x0C, 0x10, 0x20, 0x30, 0x99}));
    EXPECT_EQ(reply.stage, 5);
    EXPECT_EQ(reply.level, 12);
    DpiDat stage = dpi(1, 1, 1, 1, 0x42);
    reply.applyTo(stage);
    EXPECT_EQ(stage, dpi(12, 0x10, 0x20, 0x30, 0x42));
}

TEST(LightReply, TakesTheEffectFromBytes3To26)
{
    const MouseReport reply = reportStartingWith({
        0x07, 0xF5, // echo, unused
        0x06,       // effect index
        0x04, 0x01, // brightness, speed
        0xEE, 0xDD, // ignored
        0x01, 0x02, 0x03, 0x04, // colour index, little-endian
        0xFE, 0xFF, 0xFF, 0xFF, // direction -2
        0x11, 0x12, 0x13, 0x21, 0x22, 0x23, 0x31, 0x32, 0x33, 0x41, 0x42, 0x43, // areas in stored order
        0x55,       // byte 27: not part of the effect
    });
    const LightReply decoded = decodeLightReply(reply);
    EXPECT_EQ(decoded.effectIndex, 6);
    EXPECT_EQ(decoded.effect.brightness, 4);
    EXPECT_EQ(decoded.effect.speed, 1);
    EXPECT_EQ(decoded.effect.color_index, 0x04030201);
    EXPECT_EQ(decoded.effect.direction, -2);
    for (std::size_t area = 0; area < 4; ++area) {
        const auto base = static_cast<std::uint8_t>(0x10 * (area + 1));
        EXPECT_EQ(decoded.effect.area_colors[area], (RgbColor{static_cast<std::uint8_t>(base + 1),
                                                              static_cast<std::uint8_t>(base + 2),
                                                              static_cast<std::uint8_t>(base + 3)}))
            << "area " << area;
    }
}

TEST(MacroTableReply, FirstHalfGivesModeAndItems0To29)
{
    macrokey_dat_t slot = numberedSlot();
    const MouseReport reply = reportStartingWith(concat({0x07, 0xF6, 0x00, 0x05}, std::vector<std::uint8_t>(60, 0xAB)));
    applyMacroTableReply(4, reply, slot);
    EXPECT_EQ(slot.mode, 0x05);
    for (std::size_t i = 0; i < 30; ++i)
        EXPECT_EQ(slot.items[i], (macrokey_item_t{0xAB, 0xAB})) << i;
    for (std::size_t i = 30; i < 60; ++i)
        EXPECT_EQ(slot.items[i], numberedSlot().items[i]) << "second half untouched at " << i;
}

TEST(MacroTableReply, SecondHalfGivesItems30To59AndIgnoresItsModeByte)
{
    macrokey_dat_t slot = numberedSlot();
    const MouseReport reply = reportStartingWith(concat({0x07, 0xF6, 0x01, 0x05}, std::vector<std::uint8_t>(60, 0xCD)));
    applyMacroTableReply(5, reply, slot);
    EXPECT_EQ(slot.mode, 0x80);
    for (std::size_t i = 0; i < 30; ++i)
        EXPECT_EQ(slot.items[i], numberedSlot().items[i]) << "first half untouched at " << i;
    for (std::size_t i = 30; i < 60; ++i)
        EXPECT_EQ(slot.items[i], (macrokey_item_t{0xCD, 0xCD})) << i;
}

TEST(MacroTableReply, ReplyIndexNamesTheSlot)
{
    EXPECT_EQ(macroSlotOfHalf(0), 0);
    EXPECT_EQ(macroSlotOfHalf(1), 0);
    EXPECT_EQ(macroSlotOfHalf(34), 17);
    EXPECT_EQ(macroSlotOfHalf(kMacroTableReplyCount - 1), kMacroSlotCount - 1);
}

TEST(StatusReply, IsTheFirstSixBytes)
{
    const StatusBytes status = decodeStatusReply(reportStartingWith({1, 0, 3, 0, 5, 6, 7, 8}));
    EXPECT_EQ(status, (StatusBytes{1, 0, 3, 0, 5, 6}));
}

// Whatever a mouse sends, decoding gives values in the fields' own ranges
// (run under the sanitizers, this also shows no read outside the report).
TEST(ReplyDecoders, AcceptAnyReport)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        MouseReport reply;
        for (std::uint8_t& b : reply)
            b = static_cast<std::uint8_t>(byte(random));
        EXPECT_GE(decodeModeReply(reply), -1);
        EXPECT_LE(decodeModeReply(reply), 254);
        const DpiReply dpiReply = decodeDpiReply(reply);
        EXPECT_LE(dpiReply.stage, 255);
        EXPECT_LE(dpiReply.level, 255);
        EXPECT_LE(decodeLightReply(reply).effectIndex, 255);
        macrokey_dat_t slot{};
        applyMacroTableReply(round % kMacroTableReplyCount, reply, slot);
        decodeStatusReply(reply);
        decodeVersionReply(reply);
    }
}

} // namespace
