#include "mouse/MacroEncoding.h"

#include "mouse/KeyUsage.h"

#include <algorithm>

namespace {

struct DelayUnit {
    std::uint32_t upTo;     // largest t (delay + 1) the unit is used for
    std::uint32_t rounding; // added before dividing
    std::uint32_t step;     // milliseconds per count
};

// Units 0 to 3 in code order; t above the last bound is clamped to it.
constexpr DelayUnit kDelayUnits[] = {
    {310, 2, 10},
    {1550, 25, 50},
    {3100, 50, 100},
    {31000, 500, 1000},
};

} // namespace

std::uint8_t encodeMacroDelay(int delay)
{
    // Unsigned on purpose: a delay of -1 gives t = 0, other negatives a huge t.
    const std::uint32_t t = static_cast<std::uint32_t>(delay) + 1u;
    std::size_t unit = 0;
    while (unit + 1 < std::size(kDelayUnits) && t > kDelayUnits[unit].upTo)
        ++unit;
    const DelayUnit& chosen = kDelayUnits[unit];
    const std::uint32_t clamped = std::clamp<std::uint32_t>(t, 1, chosen.upTo);
    std::uint32_t count = (clamped + chosen.rounding) / chosen.step;
    if (count == 0)
        count = 1;
    return static_cast<std::uint8_t>(unit << kMacroDelayUnitShift | (count & kMacroDelayCountMask));
}

std::uint8_t encodeMacroKey(int code, MacroKeyMode keyMode)
{
    const int key = keyMode == MacroKeyMode::TranslateToUsage ? lookupKeyUsage(code) : code;
    return static_cast<std::uint8_t>(key & 0xFF);
}

macrokey_dat_t encodeMacro(const RecordGroup& group, MacroKeyMode keyMode)
{
    macrokey_dat_t slot{};
    slot.mode = static_cast<std::uint8_t>(group.repeat & 0xFF);
    const std::size_t count = std::min(group.items.size(), slot.items.size());
    for (std::size_t i = 0; i < count; ++i) {
        const MacroItem& item = group.items[i];
        slot.items[i].key = encodeMacroKey(item.code, keyMode);
        const std::uint8_t release = (item.state & 1) != 0 ? kMacroReleaseFlag : 0;
        slot.items[i].timing = static_cast<std::uint8_t>(release | encodeMacroDelay(item.delay));
    }
    return slot;
}

std::uint8_t buttonFunctionCode(const RecordGroup& group, MacroKeyMode keyMode)
{
    return group.items.empty() ? 0 : encodeMacroKey(group.items.front().code, keyMode);
}
