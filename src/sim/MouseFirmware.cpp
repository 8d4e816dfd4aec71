#include "sim/MouseFirmware.h"

#include <algorithm>

namespace {

struct StageDefault {
    int level;
    RgbColor color;
};

// Stage 0 is what the host assumes after a factory reset (level 0, red); the
// others climb the DPI table in colours of their own, so that stages can be
// told apart.
constexpr StageDefault kStageDefaults[kDpiStageCount] = {
    {0, {0xFF, 0x00, 0x00}},  {2, {0x00, 0xFF, 0x00}},  {4, {0x00, 0x00, 0xFF}},  {6, {0xFF, 0xFF, 0x00}},
    {8, {0x00, 0xFF, 0xFF}},  {10, {0xFF, 0x00, 0xFF}}, {11, {0xFF, 0xFF, 0xFF}}, {12, {0xFF, 0x80, 0x00}},
};

MouseReport modeReply(const FirmwareState& state)
{
    ModeReplyLayout layout{};
    layout.modePlusOne = static_cast<std::uint8_t>(state.currentMode + 1);
    return toReport(layout);
}

MouseReport dpiReply(const FirmwareState& state)
{
    const DpiDat& stage = state.dpiStages[static_cast<std::size_t>(state.currentDpiStage)];
    DpiReplyLayout layout{};
    layout.echo[0] = kMouseReportTag;
    layout.echo[1] = static_cast<std::uint8_t>(MouseCommand::GetDpi);
    layout.stage = static_cast<std::uint8_t>(state.currentDpiStage);
    layout.level = static_cast<std::uint8_t>(stage.level);
    layout.color = StoredColorBytes{stage.red, stage.green, stage.blue};
    return toReport(layout);
}

MouseReport lightReply(const FirmwareState& state)
{
    const ModeLighting& mode = state.modes[static_cast<std::size_t>(state.currentMode)];
    const LightDat& effect = mode.effects[static_cast<std::size_t>(mode.selectedEffect)];
    LightReplyLayout layout{};
    layout.echo[0] = kMouseReportTag;
    layout.echo[1] = static_cast<std::uint8_t>(MouseCommand::GetLight);
    layout.effectIndex = static_cast<std::uint8_t>(mode.selectedEffect);
    layout.brightness = effect.brightness;
    layout.speed = effect.speed;
    layout.colorIndex = writeLe32(effect.color_index);
    layout.direction = writeLe32(effect.direction);
    for (std::size_t area = 0; area < kAreaColorCount; ++area) {
        const RgbColor& color = effect.area_colors[area];
        layout.areaColors[area] = StoredColorBytes{color.red, color.green, color.blue};
    }
    return toReport(layout);
}

void appendMacroTableReplies(const FirmwareState& state, std::vector<MouseReport>& replies)
{
    for (int half = 0; half < kMacroTableReplyCount; ++half) {
        const macrokey_dat_t& slot = state.macroSlots[static_cast<std::size_t>(macroSlotOfHalf(half))];
        MacroTableReplyLayout layout{};
        layout.echo[0] = kMouseReportTag;
        layout.echo[1] = static_cast<std::uint8_t>(MouseCommand::ReadMacroTable);
        layout.halfIndex = static_cast<std::uint8_t>(half);
        layout.mode = slot.mode;
        const MacroHalfBytes bytes = macroHalfBytes(slot, half);
        std::copy(bytes.begin(), bytes.end(), layout.data);
        replies.push_back(toReport(layout));
    }
}

MouseReport statusReply(const FirmwareState& state)
{
    const StatusBytes status = firmwareStatusBytes(state);
    StatusReplyLayout layout{};
    std::copy(status.begin(), status.end(), layout.status);
    return toReport(layout);
}

MouseReport versionReply(const FirmwareState& state)
{
    VersionReplyLayout layout{};
    layout.high = static_cast<std::uint8_t>(state.version >> 8);
    layout.low = static_cast<std::uint8_t>(state.version & 0xFF);
    return toReport(layout);
}

// A SetDpi or SetLight whose index differs from the current selection selects
// that entry and keeps its stored settings: the host sends the previous
// entry's data with a new index and reads the entry back afterwards, so
// storing that data would copy one stage (or effect) over the next.
void setDpi(FirmwareState& state, const MouseReport& request)
{
    const auto layout = readLayout<SetDpiRequestLayout>(request);
    const int stage = layout.stageAndLevel & kDpiStageMask;
    if (stage >= kDpiStageCount)
        return;
    if (stage != state.currentDpiStage) {
        state.currentDpiStage = stage;
        return;
    }
    DpiDat& dpi = state.dpiStages[static_cast<std::size_t>(stage)];
    dpi.level = layout.stageAndLevel >> kDpiLevelShift & kDpiLevelMask;
    dpi.red = layout.color.red;
    dpi.green = layout.color.green;
    dpi.blue = layout.color.blue;
}

void setLight(FirmwareState& state, const MouseReport& request)
{
    const auto layout = readLayout<SetLightRequestLayout>(request);
    if (layout.effectIndex >= kLightEffectCount)
        return;
    ModeLighting& mode = state.modes[static_cast<std::size_t>(state.currentMode)];
    if (layout.effectIndex != mode.selectedEffect) {
        mode.selectedEffect = layout.effectIndex;
        return;
    }
    LightDat& effect = mode.effects[layout.effectIndex];
    effect.brightness = layout.brightness;
    effect.speed = layout.speed;
    effect.color_index = layout.colorIndex;
    effect.direction = layout.direction;
    for (std::size_t area = 0; area < kAreaColorCount; ++area) {
        const ReversedColorBytes& color = layout.areaColors[area];
        effect.area_colors[area] = RgbColor{color.red, color.green, color.blue};
    }
}

ButtonAssignment* buttonOf(FirmwareState& state, std::uint8_t buttonPlusOne)
{
    if (buttonPlusOne == 0 || buttonPlusOne > kButtonCount)
        return nullptr;
    return &state.buttons[static_cast<std::size_t>(state.currentMode)][buttonPlusOne - 1u];
}

// A button does one thing: a function code replaces a bound macro and the
// other way round; 0 in either returns the button to its own function.
void setButtonFunction(FirmwareState& state, const MouseReport& request)
{
    const auto layout = readLayout<SetButtonFunctionRequestLayout>(request);
    if (ButtonAssignment* button = buttonOf(state, layout.buttonPlusOne))
        *button = ButtonAssignment{layout.functionCode, 0};
}

void bindMacro(FirmwareState& state, const MouseReport& request)
{
    const auto layout = readLayout<BindMacroRequestLayout>(request);
    if (layout.slotPlusOne > kMacroSlotCount)
        return;
    if (ButtonAssignment* button = buttonOf(state, layout.buttonPlusOne))
        *button = ButtonAssignment{0, layout.slotPlusOne};
}

void writeMacroHalf(FirmwareState& state, const MouseReport& request)
{
    const auto layout = readLayout<WriteMacroHalfRequestLayout>(request);
    const int slotIndex = macroSlotOfHalf(layout.halfIndex);
    if (slotIndex >= kMacroSlotCount)
        return;
    macrokey_dat_t& slot = state.macroSlots[static_cast<std::size_t>(slotIndex)];
    MacroHalfBytes bytes;
    std::copy(std::begin(layout.data), std::end(layout.data), bytes.begin());
    setMacroHalfBytes(slot, layout.halfIndex, bytes);
    slot.mode = layout.mode;
}

} // namespace

FirmwareState factoryFirmwareState(std::uint16_t version)
{
    FirmwareState state;
    for (std::size_t stage = 0; stage < state.dpiStages.size(); ++stage) {
        const StageDefault& preset = kStageDefaults[stage];
        state.dpiStages[stage] = DpiDat{preset.level, preset.color.red, preset.color.green, preset.color.blue, 0};
    }
    state.version = version;
    return state;
}

StatusBytes firmwareStatusBytes(const FirmwareState& state)
{
    StatusBytes status{};
    const auto& buttons = state.buttons[static_cast<std::size_t>(state.currentMode)];
    for (std::size_t i = 0; i < status.size(); ++i)
        status[i] = buttons[i] == ButtonAssignment{} ? 0 : 1;
    return status;
}

bool isValidFirmwareState(const FirmwareState& state)
{
    const auto inRange = [](int value, int count) { return value >= 0 && value < count; };
    return inRange(state.currentMode, kModeCount) && inRange(state.currentDpiStage, kDpiStageCount) &&
           std::all_of(state.modes.begin(), state.modes.end(),
                       [&](const ModeLighting& mode) { return inRange(mode.selectedEffect, kLightEffectCount); });
}

MouseFirmware::MouseFirmware(std::uint16_t version) : state_(factoryFirmwareState(version)) {}

bool MouseFirmware::setState(const FirmwareState& state)
{
    if (!isValidFirmwareState(state))
        return false;
    state_ = state;
    return true;
}

FirmwareResponse MouseFirmware::handleReport(const MouseReport& request)
{
    FirmwareResponse response;
    const auto frame = readLayout<RequestLayout>(request);
    if (frame.tag != kMouseReportTag)
        return response;
    switch (static_cast<MouseCommand>(frame.command)) {
    case MouseCommand::GetMode:
        response.replies.push_back(modeReply(state_));
        break;
    case MouseCommand::GetDpi:
        response.replies.push_back(dpiReply(state_));
        break;
    case MouseCommand::GetLight:
        response.replies.push_back(lightReply(state_));
        break;
    case MouseCommand::ReadMacroTable:
        appendMacroTableReplies(state_, response.replies);
        break;
    case MouseCommand::GetStatus:
        response.replies.push_back(statusReply(state_));
        break;
    case MouseCommand::FactoryReset:
        state_ = factoryFirmwareState(state_.version);
        response.restart = true;
        break;
    case MouseCommand::GetVersion:
        response.replies.push_back(versionReply(state_));
        break;
    case MouseCommand::SetMode: {
        const int mode = readLayout<SetModeRequestLayout>(request).modePlusOne - 1;
        if (mode >= 0 && mode < kModeCount)
            state_.currentMode = mode;
        break;
    }
    case MouseCommand::SetDpi:
        setDpi(state_, request);
        break;
    case MouseCommand::SetLight:
        setLight(state_, request);
        break;
    case MouseCommand::SetButtonFunction:
        setButtonFunction(state_, request);
        break;
    case MouseCommand::BindMacro:
        bindMacro(state_, request);
        break;
    case MouseCommand::WriteMacroHalf:
        writeMacroHalf(state_, request);
        break;
    }
    return response;
}
