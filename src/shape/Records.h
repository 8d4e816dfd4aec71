#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

// The values that travel between the user interface, the device logic and the configuration.
// Each record has member-wise copy and field-by-field equality; `zeroFill` is the zero-fill
// flag its Shapes use (1: a reset clears every byte).

// The settings of one DPI stage. Default colour red; a zero-filled reset is level 0, black.
struct DpiDat {
    static constexpr int zeroFill = 1;

    int32_t level = 0;  // index into the DPI value table (0..12)
    uint8_t red = 255;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t reserved = 0;

    bool operator==(const DpiDat&) const = default;
};
static_assert(sizeof(DpiDat) == 8, "DpiDat has no padding: a zero-filled reset clears every field");

// One colour as red, green, blue bytes.
struct RgbColor {
    uint8_t red = 255;
    uint8_t green = 0;
    uint8_t blue = 0;

    bool operator==(const RgbColor&) const = default;
};
static_assert(sizeof(RgbColor) == 3);

// The lighting setting of one light effect.
struct LightDat {
    static constexpr int zeroFill = 1;
    static constexpr std::size_t kAreaCount = 4;

    uint8_t brightness = 3;
    uint8_t speed = 2;
    int32_t color_index = 0;  // selected radio button of the colour choice
    int32_t direction = 0;    // 0 or 1
    std::array<RgbColor, kAreaCount> area_colors{};  // light areas 1 to 4

    bool operator==(const LightDat&) const = default;
};

// One macro item as the mouse stores it: the key byte and the timing byte
// (bits 0-4 delay count, bits 5-6 delay unit, bit 7 release).
struct macrokey_item_t {
    uint8_t key = 0;
    uint8_t timing = 0;

    bool operator==(const macrokey_item_t&) const = default;
};
static_assert(sizeof(macrokey_item_t) == 2);

// One macro slot exactly as the mouse stores it: a 121-byte image.
struct macrokey_dat_t {
    static constexpr int zeroFill = 1;
    static constexpr std::size_t kItemCount = 60;

    uint8_t mode = 0;  // repeat setting
    std::array<macrokey_item_t, kItemCount> items{};

    bool operator==(const macrokey_dat_t&) const = default;
};
static_assert(sizeof(macrokey_dat_t) == 121, "macro slot image is 121 bytes");
static_assert(offsetof(macrokey_dat_t, items) == 1, "items follow the mode byte");
static_assert(std::is_trivially_copyable_v<macrokey_dat_t>);

// One step of a recorded macro.
struct MacroItem {
    int32_t code = 0;   // key code
    int32_t state = 0;  // 0 key press, 1 key release
    int32_t delay = 0;  // milliseconds
    std::wstring name;  // display name of the key

    bool operator==(const MacroItem&) const = default;
};

// The assignment of one mouse button, with its macro.
struct RecordGroup {
    static constexpr int zeroFill = 0;

    int32_t code = 0;    // the button
    int32_t page = 0;    // kind of assignment
    int32_t repeat = 1;  // repeat setting of the macro
    std::wstring name;
    std::wstring group;
    std::vector<MacroItem> items;

    bool operator==(const RecordGroup&) const = default;
};

// One entry of the configured function-key list.
struct MacroFuncKey {
    static constexpr int zeroFill = 0;

    std::wstring name;
    int32_t code = 0;
    std::wstring path;
    std::wstring argm;

    bool operator==(const MacroFuncKey&) const = default;
};

// One key of a combination: key code and delay in milliseconds.
struct CombKeyStep {
    int32_t code = 0;
    int32_t delay = 0;

    bool operator==(const CombKeyStep&) const = default;
};

// One entry of the configured combination-key list.
struct MacroCombKey {
    static constexpr int zeroFill = 0;

    std::wstring name;
    std::vector<CombKeyStep> keys;

    bool operator==(const MacroCombKey&) const = default;
};

// The configured device identity; -1 in interface or subdevice accepts any.
struct UsbInfo {
    static constexpr int zeroFill = 0;

    int32_t vid = 0;
    int32_t pid = 0;
    int32_t interface = 0;  // USB interface number
    int32_t subdevice = 0;  // HID collection number

    bool operator==(const UsbInfo&) const = default;
};
