#include "cli/InfoReport.h"

#include "cli/FrontEndMembers.h"

#include <pugixml.hpp>

#include <cstdio>
#include <string_view>

namespace {

constexpr std::wstring_view kVersionPrefix = L"version: ";

template <class Shape>
auto currentOr(const Shape& shape, typename Shape::Element fallback)
{
    const auto* element = shape.tryAt(-1);
    return element != nullptr ? *element : fallback;
}

std::string hexColor(uint8_t red, uint8_t green, uint8_t blue)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", red, green, blue);
    return text;
}

std::string hexColor(const RgbColor& color)
{
    return hexColor(color.red, color.green, color.blue);
}

// The version without the text's prefix ("v0105").
std::string versionOf(const MouseInfo& info)
{
    std::wstring_view text = info.versionText;
    if (text.starts_with(kVersionPrefix)) {
        text.remove_prefix(kVersionPrefix.size());
    }
    return pugi::as_utf8(std::wstring(text));
}

// A JSON string literal of plain text.
std::string jsonString(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string dpiValueText(int level, const char* none)
{
    const std::optional<int> value = dpiValueOfLevel(level);
    return value ? std::to_string(*value) : none;
}

}  // namespace

MouseInfo readMouseInfo(const FrontEndMembers& members)
{
    MouseInfo info;
    info.connected = currentOr(members.connectionState, 0) == 1;
    info.versionText = currentOr(members.versionText, L"");
    info.mode = currentOr(members.mode, 0);
    info.effect = currentOr(members.effectIndex, 0);
    info.dpiStage = currentOr(members.dpiStage, 0);
    info.dpi = currentOr(members.dpi, DpiDat{});
    info.light = currentOr(members.light, LightDat{});
    if (const uint8_t* status = members.statusBytes.data()) {
        info.status.assign(status, status + members.statusBytes.length());
    }
    return info;
}

std::optional<int> dpiValueOfLevel(int level)
{
    if (level < 0 || static_cast<std::size_t>(level) >= kDpiValueTable.size()) {
        return std::nullopt;
    }
    return kDpiValueTable[static_cast<std::size_t>(level)];
}

std::string formatInfoText(const MouseInfo& info)
{
    std::string text;
    text += std::string("connection: ") + (info.connected ? "connected" : "not connected") + "\n";
    text += "version: " + (info.versionText.empty() ? std::string("unknown") : versionOf(info)) + "\n";
    text += "mode: " + std::to_string(info.mode) + "\n";
    text += "effect: " + std::to_string(info.effect) + "\n";
    text += "dpi stage: " + std::to_string(info.dpiStage) + " (level " + std::to_string(info.dpi.level) + ", " +
            dpiValueText(info.dpi.level, "unknown") + " DPI, colour " +
            hexColor(info.dpi.red, info.dpi.green, info.dpi.blue) + ")\n";
    text += "light: brightness " + std::to_string(info.light.brightness) + ", speed " +
            std::to_string(info.light.speed) + ", colour choice " + std::to_string(info.light.color_index) +
            ", direction " + std::to_string(info.light.direction) + ", areas";
    for (const RgbColor& area : info.light.area_colors) {
        text += " " + hexColor(area);
    }
    text += "\nstatus:";
    for (const uint8_t byte : info.status) {
        char pair[4];
        std::snprintf(pair, sizeof pair, " %02X", byte);
        text += pair;
    }
    return text + "\n";
}

std::string formatInfoJson(const MouseInfo& info)
{
    std::string json = "{";
    json += std::string("\"connected\":") + (info.connected ? "true" : "false");
    json += ",\"version\":" + (info.versionText.empty() ? std::string("null") : jsonString(versionOf(info)));
    json += ",\"mode\":" + std::to_string(info.mode);
    json += ",\"effect\":" + std::to_string(info.effect);
    json += ",\"dpiStage\":" + std::to_string(info.dpiStage);
    json += ",\"dpiLevel\":" + std::to_string(info.dpi.level);
    json += ",\"dpi\":" + dpiValueText(info.dpi.level, "null");
    json += ",\"dpiColor\":" + jsonString(hexColor(info.dpi.red, info.dpi.green, info.dpi.blue));
    json += ",\"light\":{\"brightness\":" + std::to_string(info.light.brightness) +
            ",\"speed\":" + std::to_string(info.light.speed) +
            ",\"color\":" + std::to_string(info.light.color_index) +
            ",\"direction\":" + std::to_string(info.light.direction) + ",\"areas\":[";
    for (std::size_t area = 0; area < info.light.area_colors.size(); ++area) {
        json += (area == 0 ? "" : ",") + jsonString(hexColor(info.light.area_colors[area]));
    }
    json += "]},\"status\":[";
    for (std::size_t i = 0; i < info.status.size(); ++i) {
        json += (i == 0 ? "" : ",") + std::to_string(info.status[i]);
    }
    return json + "]}\n";
}
