// The simulated mouse's firmware fed any run of 64-byte requests (the last
// padded with zeros). Its state stays valid, every read request is answered
// as often as the host expects, and what the host decodes from the answers
// is the firmware's state.

#include "FuzzCheck.h"
#include "FuzzTarget.h"

#include "mouse/MouseReport.h"
#include "sim/MouseFirmware.h"

#include <algorithm>
#include <array>

namespace {

std::size_t expectedReplyCount(const MouseReport& request)
{
    const auto frame = readLayout<RequestLayout>(request);
    if (frame.tag != kMouseReportTag)
        return 0;
    switch (static_cast<MouseCommand>(frame.command)) {
    case MouseCommand::GetMode:
    case MouseCommand::GetDpi:
    case MouseCommand::GetLight:
    case MouseCommand::GetStatus:
    case MouseCommand::GetVersion:
        return 1;
    case MouseCommand::ReadMacroTable:
        return kMacroTableReplyCount;
    default:
        return 0;
    }
}

MouseReport onlyReply(MouseFirmware& firmware, const MouseReport& request)
{
    const FirmwareResponse response = firmware.handleReport(request);
    fuzzRequire(response.replies.size() == 1, "a read request gets one reply");
    return response.replies.front();
}

// The connect read of the device logic, checked against the state.
void checkHostReadsState(MouseFirmware& firmware)
{
    const FirmwareState state = firmware.state();
    fuzzRequire(decodeModeReply(onlyReply(firmware, makeGetModeRequest())) == state.currentMode, "mode reads back");
    fuzzRequire(decodeVersionReply(onlyReply(firmware, makeGetVersionRequest())) == state.version,
                "version reads back");

    const DpiReply dpi = decodeDpiReply(onlyReply(firmware, makeGetDpiRequest()));
    fuzzRequire(dpi.stage == state.currentDpiStage, "DPI stage reads back");
    DpiDat stage = state.dpiStages[static_cast<std::size_t>(state.currentDpiStage)];
    const DpiDat stored = stage;
    dpi.applyTo(stage);
    fuzzRequire(stage == stored, "DPI stage settings read back");

    const LightReply light = decodeLightReply(onlyReply(firmware, makeGetLightRequest()));
    const ModeLighting& mode = state.modes[static_cast<std::size_t>(state.currentMode)];
    fuzzRequire(light.effectIndex == mode.selectedEffect, "light effect index reads back");
    fuzzRequire(light.effect == mode.effects[static_cast<std::size_t>(mode.selectedEffect)],
                "light effect reads back");

    fuzzRequire(decodeStatusReply(onlyReply(firmware, makeGetStatusRequest())) == firmwareStatusBytes(state),
                "status bytes read back");

    const FirmwareResponse table = firmware.handleReport(makeReadMacroTableRequest());
    fuzzRequire(table.replies.size() == kMacroTableReplyCount, "the macro table comes in 48 replies");
    std::array<macrokey_dat_t, kMacroSlotCount> slots{};
    for (int index = 0; index < kMacroTableReplyCount; ++index)
        applyMacroTableReply(index, table.replies[static_cast<std::size_t>(index)],
                             slots[static_cast<std::size_t>(macroSlotOfHalf(index))]);
    fuzzRequire(slots == state.macroSlots, "macro slots read back");
    fuzzRequire(firmware.state() == state, "reading changes nothing");
}

} // namespace

FUZZ_TARGET(firmware_requests)
{
    MouseFirmware firmware;
    for (std::size_t offset = 0; offset < size; offset += kMouseReportSize) {
        MouseReport request{};
        std::copy_n(data + offset, std::min(kMouseReportSize, size - offset), request.begin());
        const FirmwareResponse response = firmware.handleReport(request);
        fuzzRequire(isValidFirmwareState(firmware.state()), "the firmware state stays valid");
        fuzzRequire(response.replies.size() == expectedReplyCount(request), "replies as many as the host reads");
    }
    checkHostReadsState(firmware);
}
