#include "ui/MacroFile.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdint>

#include "config/AtomicFile.h"
#include "config/TextToInt.h"

namespace {

constexpr char kRootElement[] = "macro";
constexpr char kGroupElement[] = "group";
constexpr char kItemElement[] = "item";
constexpr int kDecimal = 10;

class StringWriter : public pugi::xml_writer {
public:
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
    std::string text;
};

void addUnsigned(pugi::xml_node& node, const char* name, int32_t value)
{
    node.append_attribute(name).set_value(static_cast<unsigned int>(static_cast<uint32_t>(value)));
}

// Codes, states and delays are written unsigned; reading them back the same
// way gives the original signed value.
int32_t readUnsigned(const pugi::xml_node& node, const char* name)
{
    return static_cast<int32_t>(textToULong(pugi::as_wide(node.attribute(name).value()), kDecimal));
}

bool nameTaken(const std::vector<MacroGroup>& library, const std::wstring& name)
{
    return std::any_of(library.begin(), library.end(), [&](const MacroGroup& g) { return g.name == name; });
}

}  // namespace

bool writeMacroFile(const std::filesystem::path& path, const std::vector<MacroGroup>& groups)
{
    pugi::xml_document document;
    pugi::xml_node root = document.append_child(kRootElement);
    for (const MacroGroup& group : groups) {
        pugi::xml_node groupNode = root.append_child(kGroupElement);
        groupNode.append_attribute("name").set_value(pugi::as_utf8(group.name).c_str());
        for (const MacroItem& item : group.items) {
            pugi::xml_node itemNode = groupNode.append_child(kItemElement);
            addUnsigned(itemNode, "code", item.code);
            addUnsigned(itemNode, "state", item.state);
            addUnsigned(itemNode, "delay", item.delay);
            itemNode.append_attribute("name").set_value(pugi::as_utf8(item.name).c_str());
        }
    }
    StringWriter writer;
    document.save(writer, "\t", pugi::format_default, pugi::encoding_utf8);
    return writeFileAtomically(path, writer.text);
}

MacroFileResult readMacroFile(const std::filesystem::path& path, std::vector<MacroGroup>& groups)
{
    pugi::xml_document document;
    if (!document.load_file(path.c_str())) {
        return MacroFileResult::Unreadable;
    }
    const pugi::xml_node root = document.document_element();
    if (std::string_view(root.name()) != kRootElement) {
        return MacroFileResult::NotMacroFile;
    }
    std::vector<MacroGroup> read;
    for (const pugi::xml_node& groupNode : root.children(kGroupElement)) {
        MacroGroup group;
        group.name = pugi::as_wide(groupNode.attribute("name").value());
        for (const pugi::xml_node& itemNode : groupNode.children(kItemElement)) {
            MacroItem item;
            item.code = readUnsigned(itemNode, "code");
            item.state = readUnsigned(itemNode, "state");
            item.delay = readUnsigned(itemNode, "delay");
            item.name = pugi::as_wide(itemNode.attribute("name").value());
            group.items.push_back(std::move(item));
        }
        read.push_back(std::move(group));
    }
    groups = std::move(read);
    return MacroFileResult::Ok;
}

std::wstring uniqueGroupName(const std::vector<MacroGroup>& library, const std::wstring& name)
{
    if (!nameTaken(library, name)) {
        return name;
    }
    for (int n = 2;; ++n) {
        std::wstring candidate = name + L" (" + std::to_wstring(n) + L")";
        if (!nameTaken(library, candidate)) {
            return candidate;
        }
    }
}

void appendImportedGroups(std::vector<MacroGroup>& library, const std::vector<MacroGroup>& imported)
{
    for (const MacroGroup& group : imported) {
        MacroGroup renamed = group;
        renamed.name = uniqueGroupName(library, group.name);
        library.push_back(std::move(renamed));
    }
}
