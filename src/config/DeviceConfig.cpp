#include "config/DeviceConfig.h"

#include "config/CombKeySteps.h"
#include "config/TextToInt.h"
#include "config/XmlFile.h"

#include <pugixml.hpp>

#include <cstdint>
#include <string>

namespace {

constexpr int kHexadecimal = 16;
constexpr int kDecimal = 10;

std::wstring text(const pugi::xml_attribute& attribute)
{
    return pugi::as_wide(attribute.value());
}

bool isElement(const pugi::xml_node& node)
{
    return node.type() == pugi::node_element;
}

void loadUsbInfo(const pugi::xml_node& usb, UsbInfo& info)
{
    info.vid = textToLong(text(usb.attribute("vid")), kHexadecimal);
    info.pid = textToLong(text(usb.attribute("pid")), kHexadecimal);
    info.interface = textToLong(text(usb.attribute("interface")), kHexadecimal);
    info.subdevice = textToLong(text(usb.attribute("subdevice")), kHexadecimal);
}

void loadFuncKeys(const pugi::xml_node& funkey, FuncKeyListShape& list)
{
    for (const pugi::xml_node& child : funkey.children()) {
        if (!isElement(child))
            continue;
        MacroFuncKey key;
        key.name = text(child.attribute("name"));
        if (key.name.empty())
            continue;
        key.path = text(child.attribute("path"));
        key.argm = text(child.attribute("argm"));
        // The code is read unsigned; "-1" keeps the 32-bit pattern of -1.
        key.code = static_cast<std::int32_t>(textToULong(text(child.attribute("code")), kDecimal));
        list.appendOne(key);
    }
}

void loadCombKeys(const pugi::xml_node& combkey, CombKeyListShape& list)
{
    for (const pugi::xml_node& child : combkey.children()) {
        if (!isElement(child))
            continue;
        MacroCombKey key;
        key.name = text(child.attribute("name"));
        if (const pugi::xml_attribute code = child.attribute("code"))
            key.keys = parseCombKeySteps(text(code));
        list.appendOne(key);
    }
}

} // namespace

void loadDeviceConfig(DeviceConfig& config, const std::filesystem::path& directory)
{
    pugi::xml_document document;
    if (loadXmlFile(directory / kDeviceConfigFileName, document) != XmlLoadResult::Loaded)
        return;

    // The elements stand at the top level of the document; the first of each name counts.
    if (const pugi::xml_node local = document.child("local"))
        config.language.current() = text(local.attribute("language"));
    if (const pugi::xml_node usb = document.child("usb"))
        loadUsbInfo(usb, config.usbInfo.current());
    if (const pugi::xml_node funkey = document.child("funkey"))
        loadFuncKeys(funkey, config.funcKeys);
    if (const pugi::xml_node combkey = document.child("combkey"))
        loadCombKeys(combkey, config.combKeys);
}
