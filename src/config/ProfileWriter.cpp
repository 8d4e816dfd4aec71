#include "config/AtomicFile.h"
#include "config/ProfileFile.h"
#include "config/ProfileStore.h"

#include <pugixml.hpp>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

// The written layout: an XML declaration without encoding on its own line,
// one element per line indented by one tab per level, empty elements in the
// empty-element form, UTF-8 without byte-order mark, attributes in a fixed
// order. Item codes, states and delays are written unsigned, every other
// integer signed.

namespace {

constexpr char kIndent[] = "\t";

class StringWriter : public pugi::xml_writer {
public:
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }

    std::string text;
};

void addSigned(pugi::xml_node& node, const char* name, std::int32_t value)
{
    node.append_attribute(name).set_value(static_cast<int>(value));
}

void addUnsigned(pugi::xml_node& node, const char* name, std::int32_t value)
{
    node.append_attribute(name).set_value(static_cast<unsigned int>(static_cast<std::uint32_t>(value)));
}

void addText(pugi::xml_node& node, const char* name, const std::wstring& value)
{
    node.append_attribute(name).set_value(pugi::as_utf8(value).c_str());
}

void writeItems(pugi::xml_node& parent, const std::vector<MacroItem>& items)
{
    for (const MacroItem& item : items) {
        pugi::xml_node node = parent.append_child("item");
        addUnsigned(node, "code", item.code);
        addUnsigned(node, "state", item.state);
        addUnsigned(node, "delay", item.delay);
        addText(node, "name", item.name);
    }
}

void writeParam(pugi::xml_node& parent, const ProfileParam& param)
{
    pugi::xml_node node = parent.append_child("param");
    addSigned(node, "page", param.page);
    addSigned(node, "repeat", param.repeat);
    addSigned(node, "dlmode", param.dlmode);
    addSigned(node, "delay", param.delay);
    addSigned(node, "media", param.media);
    addSigned(node, "function", param.function);
    addSigned(node, "skcode", param.skcode);
}

void writeMacros(pugi::xml_node& parent, const ProfileGroup& group)
{
    pugi::xml_node macro = parent.append_child("macro");
    addSigned(macro, "sel", group.macroSel);
    for (const MacroGroup& macroGroup : group.macros) {
        pugi::xml_node node = macro.append_child("group");
        addText(node, "name", macroGroup.name);
        writeItems(node, macroGroup.items);
    }
}

void writeRecords(pugi::xml_node& parent, const ProfileGroup& group)
{
    pugi::xml_node record = parent.append_child("record");
    for (const RecordGroup& recordGroup : group.records) {
        pugi::xml_node node = record.append_child("group");
        addSigned(node, "code", recordGroup.code);
        addSigned(node, "page", recordGroup.page);
        addSigned(node, "repeat", recordGroup.repeat);
        addText(node, "name", recordGroup.name);
        addText(node, "group", recordGroup.group);
        writeItems(node, recordGroup.items);
    }
}

std::string serialize(const ProfileStore& store)
{
    pugi::xml_document document;
    pugi::xml_node profile = document.append_child("profile");
    addSigned(profile, "sel", store.sel);
    for (const ProfileGroup& group : store.groups) {
        pugi::xml_node node = profile.append_child("group");
        addSigned(node, "id", group.id);
        addText(node, "name", group.name);
        writeParam(node, group.param);
        writeMacros(node, group);
        writeRecords(node, group);
    }
    StringWriter writer;
    document.save(writer, kIndent, pugi::format_default, pugi::encoding_utf8);
    return std::move(writer.text);
}

} // namespace

bool saveProfileStore(ProfileStore& store, std::string* failure)
{
    const std::filesystem::path path = profileFilePath(store, store.fileName);
    // A file that could not be read at load time is moved aside, not replaced.
    const auto keepUnreadable = [&] {
        if (store.keepUnreadableFile && !moveFileAside(path)) {
            if (failure != nullptr)
                *failure = "cannot keep the unreadable file " + path.string() + " aside: " + std::strerror(errno);
            return false;
        }
        store.keepUnreadableFile = false;
        return true;
    };
    return writeFileAtomically(path, serialize(store), keepUnreadable, failure);
}
