#pragma once

#include "shape/Records.h"

#include <filesystem>
#include <string>
#include <vector>

// A macro read from a file in the profile file's item format:
//     <macro name="copy" repeat="1">
//         <item code="162" state="0" delay="30" name="CtrlLeft"/>
//         ...
//     </macro>
// The top-level element may have any name; each child element is one item.
struct MacroFile {
    std::wstring name;  // "name" of the top-level element, empty when absent
    int32_t repeat = 1; // "repeat", 0 to 255
    std::vector<MacroItem> items;
};

struct MacroFileResult {
    bool ok = false;
    MacroFile macro;
    std::string error;  // one line, when not ok
};

// Reads and checks the file: at least one and at most 60 items, each with a
// key code, state 0 (press) or 1 (release) and a delay of 0 or more
// milliseconds. An item without "name" takes the key table's name.
MacroFileResult readMacroFile(const std::filesystem::path& path);
