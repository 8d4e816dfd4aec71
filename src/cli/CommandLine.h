#pragma once

#include "shape/Records.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// What mousectl was asked to do, checked for form and range; names that
// depend on the configuration (function and combination keys) and macro files
// are resolved later.
enum class CliAction {
    Help,
    Info,
    SetMode,
    SetDpiStage,
    SetDpiLevel,
    SetDpiColor,
    SetEffect,
    SetLight,
    Assign,
    FactoryReset,
};

// The fields of `set light`; absent ones stay as the mouse has them.
struct LightChange {
    std::optional<uint8_t> brightness;
    std::optional<uint8_t> speed;
    std::optional<int32_t> colorIndex;
    std::optional<int32_t> direction;
    std::array<std::optional<RgbColor>, LightDat::kAreaCount> areas;

    bool changesColor() const;
    void applyTo(LightDat& light) const;
};

enum class AssignmentKind {
    Key,          // a single key, by name or key code
    Macro,        // a macro file
    FunctionKey,  // an entry of the configured function-key list
    Combination,  // an entry of the configured combination-key list
    Default,      // the button's own function
};

struct AssignmentRequest {
    int button = 0;
    AssignmentKind kind = AssignmentKind::Default;
    int keyCode = 0;       // Key
    std::string argument;  // Macro: the file; FunctionKey, Combination: name or index
};

struct CliRequest {
    bool simulate = false;
    bool json = false;
    std::optional<std::filesystem::path> directory;  // where config.xml and the profiles live
    CliAction action = CliAction::Help;
    int value = 0;    // SetMode, SetDpiStage, SetDpiLevel, SetEffect
    RgbColor color;   // SetDpiColor
    LightChange light;
    AssignmentRequest assignment;
};

// A request, or the one-line reason the arguments were refused.
struct ParsedCommandLine {
    std::optional<CliRequest> request;
    std::string error;
};

// Parses the arguments after the program name.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

// "RRGGBB" (hex digits of either case), or none.
std::optional<RgbColor> parseRgbColor(const std::string& text);

std::string usageText();
