// Replies of a mouse that can send anything: a run of 64-byte reports, the
// last one padded with zeros. Each is decoded as every kind of reply, and
// what the host would send back from the decoded values must carry the very
// bytes the mouse gave.

#include "FuzzCheck.h"
#include "FuzzTarget.h"

#include "mouse/MouseReport.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

std::vector<MouseReport> splitReports(const std::uint8_t* data, std::size_t size)
{
    std::vector<MouseReport> reports;
    for (std::size_t offset = 0; offset < size; offset += kMouseReportSize) {
        MouseReport report{};
        std::copy_n(data + offset, std::min(kMouseReportSize, size - offset), report.begin());
        reports.push_back(report);
    }
    return reports;
}

void checkSingleReplies(const MouseReport& reply)
{
    const int mode = decodeModeReply(reply);
    fuzzRequire(mode == reply[0] - 1, "the mode is the first byte less one");

    const DpiReply dpi = decodeDpiReply(reply);
    DpiDat stage{};
    stage.reserved = 0x5A;
    dpi.applyTo(stage);
    fuzzRequire(stage.reserved == 0x5A, "a DPI reply keeps the reserved byte");
    const auto dpiEcho = readLayout<SetDpiRequestLayout>(makeSetDpiRequest(dpi.stage, stage));
    fuzzRequire((dpiEcho.stageAndLevel & kDpiStageMask) == (dpi.stage & kDpiStageMask)
                    && dpiEcho.stageAndLevel >> kDpiLevelShift == (dpi.level & kDpiLevelMask),
                "a decoded DPI stage and level are sent back in their nibbles");
    fuzzRequire(dpiEcho.color.red == dpi.red && dpiEcho.color.green == dpi.green && dpiEcho.color.blue == dpi.blue,
                "a decoded DPI colour is sent back unchanged");

    const LightReply light = decodeLightReply(reply);
    const auto layout = readLayout<LightReplyLayout>(reply);
    const auto lightEcho = readLayout<SetLightRequestLayout>(makeSetLightRequest(light.effectIndex, light.effect));
    fuzzRequire(lightEcho.effectIndex == layout.effectIndex && lightEcho.brightness == layout.brightness
                    && lightEcho.speed == layout.speed && lightEcho.colorIndex == layout.colorIndex[0]
                    && lightEcho.direction == layout.direction[0],
                "a decoded light effect is sent back with the mouse's bytes");
    for (std::size_t area = 0; area < kAreaColorCount; ++area) {
        fuzzRequire(lightEcho.areaColors[area].red == layout.areaColors[area].red
                        && lightEcho.areaColors[area].green == layout.areaColors[area].green
                        && lightEcho.areaColors[area].blue == layout.areaColors[area].blue,
                    "area colours travel back in the mouse's order");
    }

    const StatusBytes status = decodeStatusReply(reply);
    fuzzRequire(std::equal(status.begin(), status.end(), reply.begin()), "status bytes are the first six");
    fuzzRequire(decodeVersionReply(reply) == (reply[0] << 8 | reply[1]), "the version is big-endian");
}

// The macro table as the device logic reads it; writing each slot back
// gives the halves the mouse sent.
void checkMacroTable(const std::vector<MouseReport>& replies)
{
    std::array<macrokey_dat_t, kMacroSlotCount> slots{};
    const int count = std::min<int>(static_cast<int>(replies.size()), kMacroTableReplyCount);
    for (int index = 0; index < count; ++index)
        applyMacroTableReply(index, replies[static_cast<std::size_t>(index)],
                             slots[static_cast<std::size_t>(macroSlotOfHalf(index))]);
    for (int index = 0; index < count; ++index) {
        const auto sent = readLayout<MacroTableReplyLayout>(replies[static_cast<std::size_t>(index)]);
        const macrokey_dat_t& slot = slots[static_cast<std::size_t>(macroSlotOfHalf(index))];
        const auto written = readLayout<WriteMacroHalfRequestLayout>(makeWriteMacroHalfRequest(index, slot));
        fuzzRequire(written.halfIndex == index, "a half is written under its own index");
        fuzzRequire(std::equal(std::begin(sent.data), std::end(sent.data), std::begin(written.data)),
                    "a macro half is written back as it was read");
        if (index % 2 == 0)
            fuzzRequire(written.mode == sent.mode, "a slot's mode comes from its first half");
    }
}

} // namespace

FUZZ_TARGET(mouse_replies)
{
    const std::vector<MouseReport> replies = splitReports(data, size);
    for (const MouseReport& reply : replies)
        checkSingleReplies(reply);
    checkMacroTable(replies);
}
