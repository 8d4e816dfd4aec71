#pragma once

// Host side of the mouse's report protocol: a builder for every request and a
// decoder for every reply. Pure functions; decoders accept any 64 bytes.

#include "mouse/MouseWireLayout.h"
#include "shape/Records.h"

#include <array>
#include <cstdint>

inline constexpr int kModeCount = 3;
inline constexpr int kLightEffectCount = 10;
inline constexpr int kDpiStageCount = 8;
inline constexpr int kButtonCount = 8;
inline constexpr int kMacroSlotCount = 24;
inline constexpr int kMacroTableReplyCount = 2 * kMacroSlotCount;
// BindMacro's slot for "no macro".
inline constexpr int kNoMacroSlot = -1;

using StatusBytes = std::array<std::uint8_t, kStatusByteCount>;

// ---- requests ----

MouseReport makeGetModeRequest();
MouseReport makeGetDpiRequest();
MouseReport makeGetLightRequest();
MouseReport makeReadMacroTableRequest();
MouseReport makeGetStatusRequest();
MouseReport makeFactoryResetRequest();
MouseReport makeGetVersionRequest();
MouseReport makeSetModeRequest(int mode);
// Stage in the low nibble, the level's low four bits in the high nibble, then
// the colour; `reserved` is not sent.
MouseReport makeSetDpiRequest(int stage, const DpiDat& dpi);
// Colour index and direction as single bytes, area colours blue-green-red.
MouseReport makeSetLightRequest(int effectIndex, const LightDat& effect);
MouseReport makeSetButtonFunctionRequest(int button, std::uint8_t functionCode);
// `slot` kNoMacroSlot unbinds the button.
MouseReport makeBindMacroRequest(int button, int slot);
// Half 2i carries slot bytes 1-60, half 2i + 1 bytes 61-120; both carry `mode`.
MouseReport makeWriteMacroHalfRequest(int halfIndex, const macrokey_dat_t& slot);

// ---- replies ----

// Current mode; out of range (-1 for a reply byte of 0) when the mouse gave none.
int decodeModeReply(const MouseReport& reply);

struct DpiReply {
    int stage = 0;
    int level = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    // Level and colour into a stage's record; `reserved` stays as it was.
    void applyTo(DpiDat& dpi) const;
};
DpiReply decodeDpiReply(const MouseReport& reply);

struct LightReply {
    int effectIndex = 0;
    LightDat effect;
};
// Colour index and direction as 32-bit little-endian fields, colours in stored order.
LightReply decodeLightReply(const MouseReport& reply);

// Macro slot that a half belongs to: a WriteMacroHalf index or the index of a
// macro-table reply (0 to 47).
constexpr int macroSlotOfHalf(int halfIndex)
{
    return halfIndex / 2;
}
// The 60 slot bytes a half carries: bytes 1-60 for an even half index,
// bytes 61-120 for an odd one.
using MacroHalfBytes = std::array<std::uint8_t, kMacroHalfDataSize>;
MacroHalfBytes macroHalfBytes(const macrokey_dat_t& slot, int halfIndex);
void setMacroHalfBytes(macrokey_dat_t& slot, int halfIndex, const MacroHalfBytes& bytes);

// Takes reply `replyIndex` of the macro table into its slot: the first reply
// of a slot gives `mode` and bytes 1-60, the second bytes 61-120.
void applyMacroTableReply(int replyIndex, const MouseReport& reply, macrokey_dat_t& slot);

StatusBytes decodeStatusReply(const MouseReport& reply);

// Byte 0 high, byte 1 low.
std::uint16_t decodeVersionReply(const MouseReport& reply);
