// uevent text and the sysfs names and attributes read along with it.

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include "hid/linux/Uevent.h"

#include <cctype>
#include <cstdio>
#include <string>

namespace {

std::string upperCase(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// Every reader of one piece of text.
void readAllWays(std::string_view text)
{
    if (const auto name = parseHidDeviceName(text)) {
        char formatted[32];
        std::snprintf(formatted, sizeof formatted, "%04X:%04X:%04X.", name->bus, name->vendorId, name->productId);
        fuzzRequire(upperCase(text).rfind(formatted, 0) == 0, "a device name reads back as written");
    }
    static_cast<void>(parseHidId(text));
    if (const auto number = interfaceFromUsbInterfaceName(text))
        fuzzRequire(*number >= 0 && *number <= 0xFF, "a USB interface number fits a byte");
    if (const auto number = interfaceFromPhys(text))
        fuzzRequire(*number >= 0 && *number <= 0xFF, "an input number fits a byte");
    static_cast<void>(parseHexAttribute(text));
}

} // namespace

FUZZ_TARGET(uevent_text)
{
    const std::string_view text = fuzzText(data, size);
    const UeventProperties properties = parseUevent(text);
    for (const auto& [key, value] : properties) {
        fuzzRequire(!key.empty(), "no property has an empty key");
        fuzzRequire(key.find_first_of("=\n") == std::string::npos, "a key holds no '=' and no line break");
        fuzzRequire(value.find('\n') == std::string::npos, "a value holds no line break");
        fuzzRequire(ueventValue(properties, key) == value, "a property reads back by its key");
        readAllWays(value);
    }
    readAllWays(text);
}
