#pragma once

#include "shape/Channels.h"

#include <filesystem>

// Name of the device configuration file in the application directory.
inline constexpr char kDeviceConfigFileName[] = "config.xml";

// The configuration values, members of channel 20000. Construct it before
// any other member of these channels: later members start with its contents.
struct DeviceConfig {
    UsbInfoShape usbInfo;      // the device to look for
    LanguageShape language;    // interface language, "cn" selects Chinese
    FuncKeyListShape funcKeys; // function-key list
    CombKeyListShape combKeys; // combination-key list
};

// Reads "config.xml" from directory into config, without notifying. A
// missing or malformed file leaves every value as it is; a file that exists
// but cannot be read or parsed is reported with one line on stderr.
void loadDeviceConfig(DeviceConfig& config, const std::filesystem::path& directory);
