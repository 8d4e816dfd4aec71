#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// KEY=VALUE properties of a sysfs uevent file or a device event.
using UeventProperties = std::map<std::string, std::string>;

// Parses uevent text: one KEY=VALUE per line. Lines without '=' or with an
// empty key are skipped; a later duplicate key wins. Accepts any bytes.
UeventProperties parseUevent(std::string_view text);

// The property's value, or an empty view when absent.
std::string_view ueventValue(const UeventProperties& properties, const std::string& key);

struct HidIdField {
    uint16_t bus = 0;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
};

// HID_ID "0003:00001A2B:00003C4D": bus, vendor and product in hex. Ids wider
// than 16 bits are rejected.
std::optional<HidIdField> parseHidId(std::string_view text);

// A HID device's sysfs directory name, exactly "0003:1A2B:3C4D.0001"
// (bus, vendor, product, instance; four hex digits each).
std::optional<HidIdField> parseHidDeviceName(std::string_view name);

// The interface number of a USB interface's sysfs directory name
// "1-2.4:1.3" (bus-ports:configuration.interface, decimal).
std::optional<int> interfaceFromUsbInterfaceName(std::string_view name);

// The interface number at the end of a HID_PHYS of the form ".../inputN".
std::optional<int> interfaceFromPhys(std::string_view phys);

// A hexadecimal sysfs attribute such as bInterfaceNumber ("01\n") or
// bcdDevice ("0105\n"); surrounding white space is ignored. Values wider
// than 16 bits are rejected.
std::optional<uint16_t> parseHexAttribute(std::string_view text);
