#include "mouse/MouseReport.h"

#include <algorithm>
#include <bit>

namespace {

using SlotImage = std::array<std::uint8_t, sizeof(macrokey_dat_t)>;

// Offset in the slot image of the bytes a half carries: 1 for the first half
// (after the mode byte), 61 for the second.
constexpr std::ptrdiff_t halfImageOffset(int halfIndex)
{
    return 1 + (halfIndex & 1) * static_cast<std::ptrdiff_t>(kMacroHalfDataSize);
}
static_assert(halfImageOffset(1) + kMacroHalfDataSize == sizeof(macrokey_dat_t));

template <std::size_t N>
MacroHalfBytes toHalfBytes(const std::uint8_t (&bytes)[N])
{
    static_assert(N == kMacroHalfDataSize);
    MacroHalfBytes half;
    std::copy(std::begin(bytes), std::end(bytes), half.begin());
    return half;
}

constexpr std::uint8_t lowByte(int value)
{
    return static_cast<std::uint8_t>(value & 0xFF);
}

// Low byte of value + 1, without overflow for any int.
constexpr std::uint8_t lowBytePlusOne(int value)
{
    return static_cast<std::uint8_t>((static_cast<unsigned>(value) + 1u) & 0xFFu);
}

static_assert(kAreaColorCount == LightDat::kAreaCount);

MouseReport requestWithoutParameters(MouseCommand command)
{
    RequestLayout layout{};
    layout.tag = kMouseReportTag;
    layout.command = static_cast<std::uint8_t>(command);
    return toReport(layout);
}

} // namespace

MouseReport makeGetModeRequest()
{
    return requestWithoutParameters(MouseCommand::GetMode);
}

MouseReport makeGetDpiRequest()
{
    return requestWithoutParameters(MouseCommand::GetDpi);
}

MouseReport makeGetLightRequest()
{
    return requestWithoutParameters(MouseCommand::GetLight);
}

MouseReport makeReadMacroTableRequest()
{
    return requestWithoutParameters(MouseCommand::ReadMacroTable);
}

MouseReport makeGetStatusRequest()
{
    return requestWithoutParameters(MouseCommand::GetStatus);
}

MouseReport makeFactoryResetRequest()
{
    return requestWithoutParameters(MouseCommand::FactoryReset);
}

MouseReport makeGetVersionRequest()
{
    return requestWithoutParameters(MouseCommand::GetVersion);
}

MouseReport makeSetModeRequest(int mode)
{
    SetModeRequestLayout layout{};
    layout.tag = kMouseReportTag;
    layout.command = static_cast<std::uint8_t>(MouseCommand::SetMode);
    layout.modePlusOne = lowBytePlusOne(mode);
    return toReport(layout);
}

MouseReport makeSetDpiRequest(int stage, const DpiDat& dpi)
{
    SetDpiRequestLayout layout{};
    layout.tag = kMouseReportTag;
    layout.command = static_cast<std::uint8_t>(MouseCommand::SetDpi);
    layout.stageAndLevel = lowByte((stage & kDpiStageMask) | (dpi.level & kDpiLevelMask) << kDpiLevelShift);
    layout.color = StoredColorBytes{dpi.red, dpi.green, dpi.blue};
    return toReport(layout);
}

MouseReport makeSetLightRequest(int effectIndex, const LightDat& effect)
{
    SetLightRequestLayout layout{};
    layout.tag = kMouseReportTag;
    layout.command = static_cast<std::uint8_t>(MouseCommand::SetLight);
    layout.effectIndex = lowByte(effectIndex);
    layout.brightness = effect.brightness;
    layout.speed = effect.speed;
    layout.colorIndex = lowByte(effect.color_index);
    layout.direction = lowByte(effect.direction);
    for (std::size_t area = 0; area < kAreaColorCount; ++area) {
        const RgbColor& color = effect.area_colors[area];
        layout.areaColors[area] = ReversedColorBytes{color.blue, color.green, color.red};
    }
    return toReport(layout);
}

MouseReport makeSetButtonFunctionRequest(int button, std::uint8_t functionCode)
{
    SetButtonFunctionRequestLayout layout{};
    layout.tag = kMouseReportTag;
    layout.command = static_cast<std::uint8_t>(MouseCommand::SetButtonFunction);
    layout.buttonPlusOne = lowBytePlusOne(button);
    layout.functionCode = functionCode;
    return toReport(layout);
}

MouseReport makeBindMacroRequest(int button, int slot)
{
    BindMacroRequestLayout layout{};
    layout.tag = kMouseReportTag;
    layout.command = static_cast<std::uint8_t>(MouseCommand::BindMacro);
    layout.buttonPlusOne = lowBytePlusOne(button);
    layout.slotPlusOne = lowBytePlusOne(slot);
    return toReport(layout);
}

MouseReport makeWriteMacroHalfRequest(int halfIndex, const macrokey_dat_t& slot)
{
    WriteMacroHalfRequestLayout layout{};
    layout.tag = kMouseReportTag;
    layout.command = static_cast<std::uint8_t>(MouseCommand::WriteMacroHalf);
    layout.halfIndex = lowByte(halfIndex);
    layout.mode = slot.mode;
    const MacroHalfBytes half = macroHalfBytes(slot, halfIndex);
    std::copy(half.begin(), half.end(), layout.data);
    return toReport(layout);
}

MacroHalfBytes macroHalfBytes(const macrokey_dat_t& slot, int halfIndex)
{
    const auto image = std::bit_cast<SlotImage>(slot);
    MacroHalfBytes half;
    const auto first = image.begin() + halfImageOffset(halfIndex);
    std::copy(first, first + static_cast<std::ptrdiff_t>(half.size()), half.begin());
    return half;
}

void setMacroHalfBytes(macrokey_dat_t& slot, int halfIndex, const MacroHalfBytes& bytes)
{
    auto image = std::bit_cast<SlotImage>(slot);
    std::copy(bytes.begin(), bytes.end(), image.begin() + halfImageOffset(halfIndex));
    slot = std::bit_cast<macrokey_dat_t>(image);
}

int decodeModeReply(const MouseReport& reply)
{
    return readLayout<ModeReplyLayout>(reply).modePlusOne - 1;
}

void DpiReply::applyTo(DpiDat& dpi) const
{
    dpi.level = level;
    dpi.red = red;
    dpi.green = green;
    dpi.blue = blue;
}

DpiReply decodeDpiReply(const MouseReport& reply)
{
    const auto layout = readLayout<DpiReplyLayout>(reply);
    return DpiReply{layout.stage, layout.level, layout.color.red, layout.color.green, layout.color.blue};
}

LightReply decodeLightReply(const MouseReport& reply)
{
    const auto layout = readLayout<LightReplyLayout>(reply);
    LightReply decoded;
    decoded.effectIndex = layout.effectIndex;
    decoded.effect.brightness = layout.brightness;
    decoded.effect.speed = layout.speed;
    decoded.effect.color_index = readLe32(layout.colorIndex);
    decoded.effect.direction = readLe32(layout.direction);
    for (std::size_t area = 0; area < kAreaColorCount; ++area) {
        const StoredColorBytes& color = layout.areaColors[area];
        decoded.effect.area_colors[area] = RgbColor{color.red, color.green, color.blue};
    }
    return decoded;
}

void applyMacroTableReply(int replyIndex, const MouseReport& reply, macrokey_dat_t& slot)
{
    const auto layout = readLayout<MacroTableReplyLayout>(reply);
    setMacroHalfBytes(slot, replyIndex, toHalfBytes(layout.data));
    if ((replyIndex & 1) == 0)
        slot.mode = layout.mode;
}

StatusBytes decodeStatusReply(const MouseReport& reply)
{
    const auto layout = readLayout<StatusReplyLayout>(reply);
    StatusBytes status;
    std::copy(std::begin(layout.status), std::end(layout.status), status.begin());
    return status;
}

std::uint16_t decodeVersionReply(const MouseReport& reply)
{
    const auto layout = readLayout<VersionReplyLayout>(reply);
    return static_cast<std::uint16_t>(layout.high << 8 | layout.low);
}
