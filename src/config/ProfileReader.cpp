#include "config/ProfileFile.h"
#include "config/ProfileStore.h"
#include "config/TextToInt.h"
#include "config/XmlFile.h"

#include <pugixml.hpp>

#include <cstdint>
#include <string>

// Reading is tolerant: child elements count by position whatever their
// names, and every missing attribute takes its default.

namespace {

constexpr int kDecimal = 10;

std::int32_t intAttribute(const pugi::xml_node& node, const char* name, std::int32_t fallback)
{
    const pugi::xml_attribute attribute = node.attribute(name);
    return attribute ? textToLong(pugi::as_wide(attribute.value()), kDecimal) : fallback;
}

// Item fields are written as unsigned 32-bit decimals; reading them the same
// way gives back the value that was written, negative ones included.
std::int32_t itemAttribute(const pugi::xml_node& node, const char* name)
{
    return static_cast<std::int32_t>(textToULong(pugi::as_wide(node.attribute(name).value()), kDecimal));
}

std::wstring textAttribute(const pugi::xml_node& node, const char* name)
{
    return pugi::as_wide(node.attribute(name).value());
}

template <class Visit>
void forEachChildElement(const pugi::xml_node& parent, Visit visit)
{
    for (const pugi::xml_node& child : parent.children()) {
        if (child.type() == pugi::node_element)
            visit(child);
    }
}

std::vector<MacroItem> readItems(const pugi::xml_node& parent)
{
    std::vector<MacroItem> items;
    forEachChildElement(parent, [&](const pugi::xml_node& node) {
        MacroItem item;
        item.code = itemAttribute(node, "code");
        item.state = itemAttribute(node, "state");
        item.delay = itemAttribute(node, "delay");
        item.name = textAttribute(node, "name");
        items.push_back(std::move(item));
    });
    return items;
}

ProfileParam readParam(const pugi::xml_node& node)
{
    const ProfileParam defaults;
    ProfileParam param;
    param.page = intAttribute(node, "page", defaults.page);
    param.repeat = intAttribute(node, "repeat", defaults.repeat);
    param.dlmode = intAttribute(node, "dlmode", defaults.dlmode);
    param.delay = intAttribute(node, "delay", defaults.delay);
    param.media = intAttribute(node, "media", defaults.media);
    param.function = intAttribute(node, "function", defaults.function);
    param.skcode = intAttribute(node, "skcode", defaults.skcode);
    return param;
}

void readMacros(const pugi::xml_node& macro, ProfileGroup& group)
{
    group.macroSel = intAttribute(macro, "sel", -1);
    forEachChildElement(macro, [&](const pugi::xml_node& node) {
        MacroGroup macroGroup;
        macroGroup.name = textAttribute(node, "name");
        macroGroup.items = readItems(node);
        group.macros.push_back(std::move(macroGroup));
    });
}

void readRecords(const pugi::xml_node& record, ProfileGroup& group)
{
    const RecordGroup defaults;
    forEachChildElement(record, [&](const pugi::xml_node& node) {
        RecordGroup recordGroup;
        recordGroup.code = intAttribute(node, "code", defaults.code);
        recordGroup.page = intAttribute(node, "page", defaults.page);
        recordGroup.repeat = intAttribute(node, "repeat", defaults.repeat);
        recordGroup.name = textAttribute(node, "name");
        recordGroup.group = textAttribute(node, "group");
        recordGroup.items = readItems(node);
        group.records.push_back(std::move(recordGroup));
    });
}

// The profile's own "id" and "name" are not read back: a loaded profile has
// the default id and an empty name.
ProfileGroup readProfile(const pugi::xml_node& node)
{
    ProfileGroup group;
    if (const pugi::xml_node param = node.child("param"))
        group.param = readParam(param);
    if (const pugi::xml_node macro = node.child("macro"))
        readMacros(macro, group);
    if (const pugi::xml_node record = node.child("record"))
        readRecords(record, group);
    return group;
}

} // namespace

bool loadProfileStore(ProfileStore& store, const std::wstring& fileName)
{
    pugi::xml_document document;
    switch (loadXmlFile(profileFilePath(store, fileName), document, &store.unreadableReason)) {
    case XmlLoadResult::Loaded:
        break;
    case XmlLoadResult::Missing:
        return false;
    case XmlLoadResult::Unreadable:
        store.keepUnreadableFile = true;
        return false;
    }

    const pugi::xml_node profile = document.child("profile");
    store.sel = intAttribute(profile, "sel", -1);
    forEachChildElement(profile, [&](const pugi::xml_node& node) { store.groups.push_back(readProfile(node)); });
    return true;
}
