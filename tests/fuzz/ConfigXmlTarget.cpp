// config.xml as a user might have edited it.

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzScratch.h"
#include "FuzzTarget.h"
#include "ShapeContents.h"

#include "config/DeviceConfig.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct LoadedConfig {
    std::vector<UsbInfo> usb;
    std::vector<std::wstring> language;
    std::vector<MacroFuncKey> funcKeys;
    std::vector<MacroCombKey> combKeys;

    bool operator==(const LoadedConfig&) const = default;
};

LoadedConfig loadFromScratch()
{
    DeviceConfig config;
    loadDeviceConfig(config, fuzzScratchDirectory());
    return LoadedConfig{shapeElements(config.usbInfo), shapeElements(config.language),
                        shapeElements(config.funcKeys), shapeElements(config.combKeys)};
}

} // namespace

FUZZ_TARGET(config_xml)
{
    writeScratchFile(fuzzScratchDirectory() / kDeviceConfigFileName, fuzzText(data, size));
    const LoadedConfig first = loadFromScratch();

    fuzzRequire(first.usb.size() == 1 && first.language.size() == 1, "single-valued settings keep one element");
    fuzzRequire(std::none_of(first.funcKeys.begin(), first.funcKeys.end(),
                             [](const MacroFuncKey& key) { return key.name.empty(); }),
                "function keys without a name are dropped");
    // Reading the same file again gives the same values: nothing depends on
    // uninitialised memory or on what an earlier load left behind.
    fuzzRequire(loadFromScratch() == first, "loading is repeatable");
}
