#include "cli/MacroFile.h"

#include "cli/KeyNames.h"
#include "cli/NumberArgument.h"

#include <pugixml.hpp>

#include <limits>
#include <optional>

namespace {

constexpr std::size_t kMacroItemLimit = macrokey_dat_t::kItemCount;
constexpr int kRepeatMax = 0xFF;

// An integer attribute within [low, high]; `fallback` when absent.
std::optional<int> intAttribute(const pugi::xml_node& node, const char* name, int low, int high, int fallback)
{
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) {
        return fallback;
    }
    return parseNumberInRange(attribute.value(), low, high);
}

MacroFileResult failure(const std::filesystem::path& path, const std::string& reason)
{
    return MacroFileResult{false, {}, "macro file " + path.string() + ": " + reason};
}

}  // namespace

MacroFileResult readMacroFile(const std::filesystem::path& path)
{
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_file(path.c_str());
    if (!parsed) {
        if (parsed.status == pugi::status_file_not_found || parsed.status == pugi::status_io_error) {
            return failure(path, "cannot be read");
        }
        return failure(path, std::string(parsed.description()) + " at offset " + std::to_string(parsed.offset));
    }
    const pugi::xml_node root = document.document_element();
    MacroFile macro;
    macro.name = pugi::as_wide(root.attribute("name").value());
    const std::optional<int> repeat = intAttribute(root, "repeat", 0, kRepeatMax, 1);
    if (!repeat) {
        return failure(path, "repeat must be 0 to 255");
    }
    macro.repeat = *repeat;
    std::size_t number = 0;
    for (const pugi::xml_node& node : root.children()) {
        if (node.type() != pugi::node_element) {
            continue;
        }
        ++number;
        const std::string where = "item " + std::to_string(number) + ": ";
        const std::optional<int> code = node.attribute("code")
                                            ? intAttribute(node, "code", 1, 0xFFFF, 0)
                                            : std::nullopt;
        if (!code) {
            return failure(path, where + "needs a key code from 1 to 65535");
        }
        const std::optional<int> state = intAttribute(node, "state", 0, 1, 0);
        if (!state) {
            return failure(path, where + "state must be 0 (press) or 1 (release)");
        }
        const std::optional<int> delay = intAttribute(node, "delay", 0, std::numeric_limits<int32_t>::max(), 0);
        if (!delay) {
            return failure(path, where + "delay must be 0 or more milliseconds");
        }
        std::wstring name;
        if (const pugi::xml_attribute attribute = node.attribute("name")) {
            name = pugi::as_wide(attribute.value());
        } else {
            name = keyNameOf(*code).value_or(L"");
        }
        macro.items.push_back(MacroItem{*code, *state, *delay, name});
    }
    if (macro.items.empty()) {
        return failure(path, "has no items");
    }
    if (macro.items.size() > kMacroItemLimit) {
        return failure(path, "has " + std::to_string(macro.items.size()) + " items; the mouse keeps at most " +
                                 std::to_string(kMacroItemLimit));
    }
    return MacroFileResult{true, std::move(macro), {}};
}
