#pragma once

#include <array>
#include <cstdint>

// Fixed tables of the mouse settings page.

// Colours of the preset buttons, as red, green, blue (alpha 255).
struct PresetColor {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};
inline constexpr std::uint8_t kPresetAlpha = 255;
inline constexpr std::array<PresetColor, 8> presetColors{{
    {0, 0, 0},        // black
    {255, 0, 0},      // red
    {0, 255, 0},      // green
    {0, 0, 255},      // blue
    {255, 255, 0},    // yellow
    {255, 0, 255},    // magenta
    {0, 255, 255},    // cyan
    {255, 255, 255},  // white
}};

// DPI of each level a stage can take.
inline constexpr std::array<int, 13> dpiValueTable{500,  750,  1000, 1200, 1600, 2000, 2400,
                                                   3000, 3200, 3500, 4000, 4500, 4800};

// The groups whose visibility follows the light-effect index, in the order
// of the columns of kEffectGroupVisibility.
inline constexpr std::array<const wchar_t*, 8> kEffectGroupNames{
    L"bar_mouse_dir_parent",   L"gp_dir_left_right",           L"gp_dir_fen_he",         L"gp_mouse_color_parent",
    L"bar_mouse_speed_parent", L"bar_mouse_brightness_parent", L"color_panel_container", L"color_area_container",
};

// Which groups each of the ten light effects shows.
using EffectGroupRow = std::array<bool, kEffectGroupNames.size()>;
inline constexpr std::array<EffectGroupRow, 10> kEffectGroupVisibility{{
    {1, 1, 0, 0, 1, 1, 0, 0},  // 0
    {0, 1, 0, 0, 0, 1, 1, 0},  // 1
    {0, 0, 1, 1, 1, 1, 0, 0},  // 2
    {0, 0, 1, 1, 1, 1, 0, 0},  // 3
    {0, 0, 1, 0, 1, 1, 0, 0},  // 4
    {0, 1, 0, 0, 0, 1, 0, 1},  // 5
    {0, 0, 1, 1, 1, 1, 0, 0},  // 6
    {0, 0, 1, 1, 1, 1, 0, 0},  // 7
    {1, 0, 1, 0, 1, 1, 0, 0},  // 8
    {0, 0, 1, 0, 1, 1, 0, 0},  // 9
}};
