#pragma once

// Byte layouts of the mouse's 64-byte reports, shared by the host side
// (requests it builds, replies it decodes) and the simulated firmware (which
// reads the requests and builds the replies). Each layout is a run of single
// bytes covering the whole report, so it can be bit-cast to and from a report.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

inline constexpr std::size_t kMouseReportSize = 64;

// One report as the protocol sees it, without the transfer's report-ID byte.
using MouseReport = std::array<std::uint8_t, kMouseReportSize>;

// Byte 0 of every host-to-mouse report.
inline constexpr std::uint8_t kMouseReportTag = 0x07;

enum class MouseCommand : std::uint8_t {
    GetMode = 0xF3,
    GetDpi = 0xF4,
    GetLight = 0xF5,
    ReadMacroTable = 0xF6,
    GetStatus = 0xF7,
    FactoryReset = 0xF8,
    GetVersion = 0xF9,
    SetMode = 0xFA,
    SetDpi = 0xFB,
    SetLight = 0xFC,
    SetButtonFunction = 0xFD,
    BindMacro = 0xFE,
    WriteMacroHalf = 0xFF,
};

inline constexpr std::size_t kMacroHalfDataSize = 60;
inline constexpr std::size_t kAreaColorCount = 4;
inline constexpr std::size_t kStatusByteCount = 6;

// Colour bytes in the order they travel.
struct ReversedColorBytes {
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;
};

struct StoredColorBytes {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

// Little-endian 32-bit field at an odd offset.
using Le32Bytes = std::array<std::uint8_t, 4>;

constexpr std::int32_t readLe32(const Le32Bytes& bytes)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) |
                                     static_cast<std::uint32_t>(bytes[1]) << 8 |
                                     static_cast<std::uint32_t>(bytes[2]) << 16 |
                                     static_cast<std::uint32_t>(bytes[3]) << 24);
}

constexpr Le32Bytes writeLe32(std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
            static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
}

// ---- host to mouse ----

// The frame of every request; commands without parameters are just this.
struct RequestLayout {
    std::uint8_t tag;
    std::uint8_t command;
    std::uint8_t unused[62];
};

struct SetModeRequestLayout {
    std::uint8_t tag;
    std::uint8_t command;
    std::uint8_t modePlusOne;
    std::uint8_t unused[61];
};

// Low nibble: stage; high nibble: the level's low four bits.
struct SetDpiRequestLayout {
    std::uint8_t tag;
    std::uint8_t command;
    std::uint8_t stageAndLevel;
    StoredColorBytes color;
    std::uint8_t unused[58];
};

inline constexpr std::uint8_t kDpiStageMask = 0x0F;
inline constexpr std::uint8_t kDpiLevelMask = 0x0F; // the level bits sent, before the shift
inline constexpr int kDpiLevelShift = 4;

struct SetLightRequestLayout {
    std::uint8_t tag;
    std::uint8_t command;
    std::uint8_t effectIndex;
    std::uint8_t brightness;
    std::uint8_t speed;
    std::uint8_t colorIndex;
    std::uint8_t direction;
    ReversedColorBytes areaColors[kAreaColorCount];
    std::uint8_t unused[45];
};

struct SetButtonFunctionRequestLayout {
    std::uint8_t tag;
    std::uint8_t command;
    std::uint8_t buttonPlusOne;
    std::uint8_t functionCode;
    std::uint8_t unused[60];
};

// slotPlusOne 0 unbinds the button.
struct BindMacroRequestLayout {
    std::uint8_t tag;
    std::uint8_t command;
    std::uint8_t buttonPlusOne;
    std::uint8_t slotPlusOne;
    std::uint8_t unused[60];
};

// Half 2i carries slot i's bytes 1 to 60, half 2i + 1 its bytes 61 to 120.
struct WriteMacroHalfRequestLayout {
    std::uint8_t tag;
    std::uint8_t command;
    std::uint8_t halfIndex;
    std::uint8_t mode;
    std::uint8_t data[kMacroHalfDataSize];
};

// ---- mouse to host ----

struct ModeReplyLayout {
    std::uint8_t modePlusOne;
    std::uint8_t unused[63];
};

struct DpiReplyLayout {
    std::uint8_t echo[2];
    std::uint8_t stage;
    std::uint8_t level;
    StoredColorBytes color;
    std::uint8_t unused[57];
};

struct LightReplyLayout {
    std::uint8_t echo[2];
    std::uint8_t effectIndex;
    std::uint8_t brightness;
    std::uint8_t speed;
    std::uint8_t ignored[2];
    Le32Bytes colorIndex;
    Le32Bytes direction;
    StoredColorBytes areaColors[kAreaColorCount];
    std::uint8_t unused[37];
};

// One of the 48 replies to ReadMacroTable; the host takes `mode` from the
// first half of a slot only.
struct MacroTableReplyLayout {
    std::uint8_t echo[2];
    std::uint8_t halfIndex;
    std::uint8_t mode;
    std::uint8_t data[kMacroHalfDataSize];
};

struct StatusReplyLayout {
    std::uint8_t status[kStatusByteCount];
    std::uint8_t unused[58];
};

struct VersionReplyLayout {
    std::uint8_t high;
    std::uint8_t low;
    std::uint8_t unused[62];
};

template <typename Layout>
concept ReportLayout = sizeof(Layout) == kMouseReportSize && alignof(Layout) == 1 &&
                       std::is_trivially_copyable_v<Layout>;

template <ReportLayout Layout>
constexpr Layout readLayout(const MouseReport& report)
{
    return std::bit_cast<Layout>(report);
}

template <ReportLayout Layout>
constexpr MouseReport toReport(const Layout& layout)
{
    return std::bit_cast<MouseReport>(layout);
}

static_assert(ReportLayout<RequestLayout>);
static_assert(offsetof(RequestLayout, command) == 1);

static_assert(ReportLayout<SetModeRequestLayout>);
static_assert(offsetof(SetModeRequestLayout, modePlusOne) == 2);

static_assert(ReportLayout<SetDpiRequestLayout>);
static_assert(offsetof(SetDpiRequestLayout, stageAndLevel) == 2);
static_assert(offsetof(SetDpiRequestLayout, color) == 3);

static_assert(ReportLayout<SetLightRequestLayout>);
static_assert(offsetof(SetLightRequestLayout, effectIndex) == 2);
static_assert(offsetof(SetLightRequestLayout, brightness) == 3);
static_assert(offsetof(SetLightRequestLayout, speed) == 4);
static_assert(offsetof(SetLightRequestLayout, colorIndex) == 5);
static_assert(offsetof(SetLightRequestLayout, direction) == 6);
static_assert(offsetof(SetLightRequestLayout, areaColors) == 7);
static_assert(offsetof(SetLightRequestLayout, unused) == 19);

static_assert(ReportLayout<SetButtonFunctionRequestLayout>);
static_assert(offsetof(SetButtonFunctionRequestLayout, buttonPlusOne) == 2);
static_assert(offsetof(SetButtonFunctionRequestLayout, functionCode) == 3);

static_assert(ReportLayout<BindMacroRequestLayout>);
static_assert(offsetof(BindMacroRequestLayout, buttonPlusOne) == 2);
static_assert(offsetof(BindMacroRequestLayout, slotPlusOne) == 3);

static_assert(ReportLayout<WriteMacroHalfRequestLayout>);
static_assert(offsetof(WriteMacroHalfRequestLayout, halfIndex) == 2);
static_assert(offsetof(WriteMacroHalfRequestLayout, mode) == 3);
static_assert(offsetof(WriteMacroHalfRequestLayout, data) == 4);

static_assert(ReportLayout<ModeReplyLayout>);
static_assert(offsetof(ModeReplyLayout, modePlusOne) == 0);

static_assert(ReportLayout<DpiReplyLayout>);
static_assert(offsetof(DpiReplyLayout, stage) == 2);
static_assert(offsetof(DpiReplyLayout, level) == 3);
static_assert(offsetof(DpiReplyLayout, color) == 4);

static_assert(ReportLayout<LightReplyLayout>);
static_assert(offsetof(LightReplyLayout, effectIndex) == 2);
static_assert(offsetof(LightReplyLayout, brightness) == 3);
static_assert(offsetof(LightReplyLayout, speed) == 4);
static_assert(offsetof(LightReplyLayout, colorIndex) == 7);
static_assert(offsetof(LightReplyLayout, direction) == 11);
static_assert(offsetof(LightReplyLayout, areaColors) == 15);
static_assert(offsetof(LightReplyLayout, unused) == 27);

static_assert(ReportLayout<MacroTableReplyLayout>);
static_assert(offsetof(MacroTableReplyLayout, mode) == 3);
static_assert(offsetof(MacroTableReplyLayout, data) == 4);

static_assert(ReportLayout<StatusReplyLayout>);
static_assert(offsetof(StatusReplyLayout, status) == 0);

static_assert(ReportLayout<VersionReplyLayout>);
static_assert(offsetof(VersionReplyLayout, high) == 0);
static_assert(offsetof(VersionReplyLayout, low) == 1);
