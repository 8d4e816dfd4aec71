#pragma once

#include "shape/Records.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct FrontEndMembers;

// DPI of each level of a stage, as the settings page shows it.
inline constexpr std::array<int, 13> kDpiValueTable{500, 750, 1000, 1200, 1600, 2000, 2400,
                                                    3000, 3200, 3500, 4000, 4500, 4800};

// What `mousectl info` reports, as the front end's values hold it.
struct MouseInfo {
    bool connected = false;
    std::wstring versionText;  // "version: v0105"; empty when the mouse did not say
    int mode = 0;
    int effect = 0;
    int dpiStage = 0;
    DpiDat dpi;
    LightDat light;
    std::vector<uint8_t> status;
};

MouseInfo readMouseInfo(const FrontEndMembers& members);

// DPI value of a level, none outside the table.
std::optional<int> dpiValueOfLevel(int level);

// One "name: value" line per item, newline-terminated.
std::string formatInfoText(const MouseInfo& info);
// One JSON object on one line, newline-terminated.
std::string formatInfoJson(const MouseInfo& info);
