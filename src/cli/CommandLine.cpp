#include "cli/CommandLine.h"

#include "cli/KeyNames.h"
#include "cli/NumberArgument.h"
#include "mouse/MouseReport.h"

#include <cctype>
#include <charconv>

namespace {

// Values the page's widgets can produce.
constexpr int kDpiLevelCount = 13;
constexpr int kColorChoiceCount = 8;
constexpr int kDirectionCount = 2;
constexpr int kByteMax = 0xFF;

struct Options {
    bool simulate = false;
    bool json = false;
    bool yes = false;
    bool help = false;
    std::optional<std::filesystem::path> directory;
    std::vector<std::string> words;
};

ParsedCommandLine failure(std::string message)
{
    return ParsedCommandLine{std::nullopt, std::move(message)};
}

std::string rangeText(int low, int high)
{
    return std::to_string(low) + " to " + std::to_string(high);
}

// Splits options from words; false with `error` set for an unknown option.
bool splitOptions(const std::vector<std::string>& arguments, Options& options, std::string& error)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--simulate") {
            options.simulate = true;
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "--yes") {
            options.yes = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--dir") {
            if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
                error = "--dir needs a directory";
                return false;
            }
            options.directory = arguments[++i];
        } else if (argument.starts_with("--dir=")) {
            if (argument.size() == 6) {
                error = "--dir needs a directory";
                return false;
            }
            options.directory = argument.substr(6);
        } else if (argument.starts_with("--")) {
            error = "unknown option " + argument;
            return false;
        } else {
            options.words.push_back(argument);
        }
    }
    return true;
}

// `set NAME VALUE` for the settings that take one number.
struct NumberSetting {
    const char* name;
    CliAction action;
    int high;
};

constexpr NumberSetting kNumberSettings[] = {
    {"mode", CliAction::SetMode, kModeCount - 1},
    {"dpi-stage", CliAction::SetDpiStage, kDpiStageCount - 1},
    {"dpi-level", CliAction::SetDpiLevel, kDpiLevelCount - 1},
    {"effect", CliAction::SetEffect, kLightEffectCount - 1},
};

// One "key=value" of `set light`; false with `error` set when it is not one.
bool parseLightField(const std::string& field, LightChange& light, std::string& error)
{
    const std::size_t equals = field.find('=');
    if (equals == std::string::npos) {
        error = "light setting '" + field + "' is not KEY=VALUE";
        return false;
    }
    const std::string key = field.substr(0, equals);
    const std::string value = field.substr(equals + 1);
    const auto number = [&](int high, const char* what) -> std::optional<int> {
        const std::optional<int> parsed = parseNumberInRange(value, 0, high);
        if (!parsed) {
            error = std::string(what) + " must be " + rangeText(0, high) + ", not '" + value + "'";
        }
        return parsed;
    };
    if (key == "brightness" || key == "speed") {
        const std::optional<int> parsed = number(kByteMax, key.c_str());
        if (!parsed) {
            return false;
        }
        (key == "brightness" ? light.brightness : light.speed) = static_cast<uint8_t>(*parsed);
        return true;
    }
    if (key == "color" || key == "direction") {
        const bool isColor = key == "color";
        const std::optional<int> parsed = number(isColor ? kColorChoiceCount - 1 : kDirectionCount - 1, key.c_str());
        if (!parsed) {
            return false;
        }
        (isColor ? light.colorIndex : light.direction) = *parsed;
        return true;
    }
    if (key.size() == 5 && key.starts_with("area") && key[4] >= '1' && key[4] < '1' + static_cast<int>(LightDat::kAreaCount)) {
        const std::optional<RgbColor> color = parseRgbColor(value);
        if (!color) {
            error = key + " must be a colour RRGGBB, not '" + value + "'";
            return false;
        }
        light.areas[static_cast<std::size_t>(key[4] - '1')] = *color;
        return true;
    }
    error = "unknown light setting '" + key + "' (brightness, speed, color, direction, area1 to area4)";
    return false;
}

ParsedCommandLine parseSet(const std::vector<std::string>& words, CliRequest request)
{
    if (words.size() < 2) {
        return failure("set needs a setting: mode, dpi-stage, dpi-level, dpi-color, effect or light");
    }
    const std::string& setting = words[1];
    for (const NumberSetting& number : kNumberSettings) {
        if (setting != number.name) {
            continue;
        }
        if (words.size() != 3) {
            return failure(std::string("set ") + number.name + " needs one value, " + rangeText(0, number.high));
        }
        const std::optional<int> value = parseNumberInRange(words[2], 0, number.high);
        if (!value) {
            return failure(std::string(number.name) + " must be " + rangeText(0, number.high) + ", not '" + words[2] + "'");
        }
        request.action = number.action;
        request.value = *value;
        return ParsedCommandLine{request, {}};
    }
    if (setting == "dpi-color") {
        const std::optional<RgbColor> color = words.size() == 3 ? parseRgbColor(words[2]) : std::nullopt;
        if (!color) {
            return failure("set dpi-color needs one colour RRGGBB");
        }
        request.action = CliAction::SetDpiColor;
        request.color = *color;
        return ParsedCommandLine{request, {}};
    }
    if (setting == "light") {
        if (words.size() < 3) {
            return failure("set light needs at least one KEY=VALUE");
        }
        std::string error;
        for (std::size_t i = 2; i < words.size(); ++i) {
            if (!parseLightField(words[i], request.light, error)) {
                return failure(error);
            }
        }
        request.action = CliAction::SetLight;
        return ParsedCommandLine{request, {}};
    }
    return failure("unknown setting '" + setting + "' (mode, dpi-stage, dpi-level, dpi-color, effect, light)");
}

ParsedCommandLine parseAssign(const std::vector<std::string>& words, CliRequest request)
{
    if (words.size() < 3) {
        return failure("assign needs a button and what to assign: key, macro, function, combo or default");
    }
    const std::optional<int> button = parseNumberInRange(words[1], 0, kButtonCount - 1);
    if (!button) {
        return failure("button must be " + rangeText(0, kButtonCount - 1) + ", not '" + words[1] + "'");
    }
    AssignmentRequest& assignment = request.assignment;
    assignment.button = *button;
    const std::string& kind = words[2];
    if (kind == "default") {
        if (words.size() != 3) {
            return failure("assign BUTTON default takes nothing more");
        }
        assignment.kind = AssignmentKind::Default;
    } else if (kind == "key" || kind == "macro" || kind == "function" || kind == "combo") {
        if (words.size() != 4) {
            return failure("assign BUTTON " + kind + " needs one argument");
        }
        assignment.argument = words[3];
        if (kind == "key") {
            const std::optional<int> code = keyCodeFromArgument(words[3]);
            if (!code) {
                return failure("unknown key '" + words[3] + "' (a key name such as A, F1, Esc, or a key code)");
            }
            assignment.kind = AssignmentKind::Key;
            assignment.keyCode = *code;
        } else {
            assignment.kind = kind == "macro"      ? AssignmentKind::Macro
                              : kind == "function" ? AssignmentKind::FunctionKey
                                                   : AssignmentKind::Combination;
        }
    } else {
        return failure("unknown assignment '" + kind + "' (key, macro, function, combo, default)");
    }
    request.action = CliAction::Assign;
    return ParsedCommandLine{request, {}};
}

}  // namespace

bool LightChange::changesColor() const
{
    for (const std::optional<RgbColor>& area : areas) {
        if (area) {
            return true;
        }
    }
    return false;
}

void LightChange::applyTo(LightDat& light) const
{
    if (brightness) {
        light.brightness = *brightness;
    }
    if (speed) {
        light.speed = *speed;
    }
    if (colorIndex) {
        light.color_index = *colorIndex;
    }
    if (direction) {
        light.direction = *direction;
    }
    for (std::size_t area = 0; area < areas.size(); ++area) {
        if (areas[area]) {
            light.area_colors[area] = *areas[area];
        }
    }
}

std::optional<RgbColor> parseRgbColor(const std::string& text)
{
    if (text.size() != 6) {
        return std::nullopt;
    }
    uint8_t channels[3];
    for (std::size_t i = 0; i < 3; ++i) {
        const char* begin = text.data() + 2 * i;
        if (std::isxdigit(static_cast<unsigned char>(begin[0])) == 0 ||
            std::isxdigit(static_cast<unsigned char>(begin[1])) == 0) {
            return std::nullopt;
        }
        std::from_chars(begin, begin + 2, channels[i], 16);
    }
    return RgbColor{channels[0], channels[1], channels[2]};
}

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    Options options;
    std::string error;
    if (!splitOptions(arguments, options, error)) {
        return failure(error);
    }
    CliRequest request;
    request.simulate = options.simulate;
    request.json = options.json;
    request.directory = options.directory;
    if (options.help) {
        request.action = CliAction::Help;
        return ParsedCommandLine{request, {}};
    }
    const std::vector<std::string>& words = options.words;
    if (words.empty()) {
        return failure("no command given");
    }
    const std::string& command = words.front();
    ParsedCommandLine parsed;
    if (command == "help") {
        parsed = ParsedCommandLine{request, {}};
    } else if (command == "info") {
        if (words.size() != 1) {
            return failure("info takes no arguments");
        }
        request.action = CliAction::Info;
        parsed = ParsedCommandLine{request, {}};
    } else if (command == "set") {
        parsed = parseSet(words, request);
    } else if (command == "assign") {
        parsed = parseAssign(words, request);
    } else if (command == "factory-reset") {
        if (words.size() != 1) {
            return failure("factory-reset takes no arguments");
        }
        if (!options.yes) {
            return failure("factory-reset restores all settings of the mouse; add --yes to go ahead");
        }
        request.action = CliAction::FactoryReset;
        parsed = ParsedCommandLine{request, {}};
    } else {
        return failure("unknown command '" + command + "'");
    }
    if (parsed.request && options.json && parsed.request->action != CliAction::Info) {
        return failure("--json applies to info only");
    }
    if (parsed.request && options.yes && parsed.request->action != CliAction::FactoryReset) {
        return failure("--yes applies to factory-reset only");
    }
    return parsed;
}

std::string usageText()
{
    return "usage: mousectl [--simulate] [--dir DIR] COMMAND\n"
           "\n"
           "commands:\n"
           "  info [--json]                 connection, version, mode, effect, DPI stage, status bytes\n"
           "  set mode N                    mode 0 to 2\n"
           "  set dpi-stage N               DPI stage 0 to 7\n"
           "  set dpi-level L               DPI level 0 to 12 of the current stage\n"
           "  set dpi-color RRGGBB          colour of the current stage\n"
           "  set effect N                  light effect 0 to 9 of the current mode\n"
           "  set light KEY=VALUE...        brightness=B speed=S (0 to 255) color=I (0 to 7)\n"
           "                                direction=D (0 or 1) area1=RRGGBB ... area4=RRGGBB\n"
           "  assign BUTTON key NAME|CODE   a single key (BUTTON 0 to 7)\n"
           "  assign BUTTON macro FILE      a macro: <macro repeat=\"1\" name=\"...\"><item code=\"65\"\n"
           "                                state=\"0\" delay=\"50\"/>...</macro>\n"
           "  assign BUTTON function NAME|INDEX   an entry of config.xml's function keys\n"
           "  assign BUTTON combo NAME|INDEX      an entry of config.xml's combination keys\n"
           "  assign BUTTON default         the button's own function\n"
           "  factory-reset --yes           restore the mouse's factory settings\n"
           "\n"
           "options:\n"
           "  --simulate   use a simulated mouse instead of the real one\n"
           "  --dir DIR    read config.xml and the profile files in DIR (default: beside mousectl)\n"
           "\n"
           "exit status: 0 done, 1 the mouse is absent or a file could not be written, 2 bad arguments\n";
}
