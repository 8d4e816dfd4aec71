// One hidraw node's sysfs directory with every file a device or driver
// fills in: the HID device's uevent and report descriptor, the USB
// interface number, the release number and the node's own uevent.

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzScratch.h"
#include "FuzzTarget.h"

#include "hid/HidPath.h"
#include "hid/HidPathParser.h"
#include "hid/linux/SysfsHidNode.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace {

namespace fs = std::filesystem;

enum Part : std::size_t {
    kHidUevent,
    kReportDescriptor,
    kInterfaceNumber, // empty: no such file, as for a device off USB
    kReleaseNumber,
    kNodeUevent,
    kPartCount,
};

struct Tree {
    fs::path usbDevice;
    fs::path usbInterface;
    fs::path hidDevice;
    fs::path node;
};

// Made once: the directories and the node's link to its HID device.
const Tree& scratchTree()
{
    static const Tree tree = [] {
        Tree made;
        made.usbDevice = fuzzScratchDirectory() / "sysfs" / "usb1" / "1-2";
        made.usbInterface = made.usbDevice / "1-2:1.1";
        made.hidDevice = made.usbInterface / "0003:1A2B:3C4D.0001";
        made.node = made.hidDevice / "hidraw" / "hidraw3";
        fs::create_directories(made.node);
        fs::create_symlink("../..", made.node / "device");
        return made;
    }();
    return tree;
}

void writeOrRemove(const fs::path& path, std::string_view contents, bool present)
{
    if (present) {
        writeScratchFile(path, contents);
    } else {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
}

bool isPlainNodeName(const std::string& node)
{
    for (const char c : node) {
        if (static_cast<unsigned char>(c) >= 0x80 || c == '#' || c == '\0')
            return false;
    }
    return true;
}

// What the path parser gives back for a number printed as two or more hex
// digits: the value of the second digit.
int32_t parsedNumber(int number)
{
    if (number < 0)
        return -1;
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned>(number));
    const char second = digits[1];
    return second <= '9' ? second - '0' : second - 'a' + 10;
}

void checkPath(const SysfsHidNode& node, const std::wstring& path, int collectionNumber)
{
    if (isPlainNodeName(node.deviceNode))
        fuzzRequire(hidPathNode(path) == node.deviceNode, "a path names its device node");
    int32_t vendorId = -2;
    int32_t productId = -2;
    int32_t interfaceNumber = -2;
    int32_t collection = -2;
    fuzzRequire(parseHidDevicePath(path.c_str(), vendorId, productId, interfaceNumber, collection),
                "every listed path parses");
    fuzzRequire(vendorId == node.ids.vendorId && productId == node.ids.productId, "a path keeps the ids");
    fuzzRequire(interfaceNumber == parsedNumber(node.ids.interfaceNumber), "a path keeps the interface number");
    fuzzRequire(collection == parsedNumber(collectionNumber), "a path keeps the collection number");
}

} // namespace

FUZZ_TARGET(sysfs_node)
{
    const auto parts = splitFuzzInput(fuzzText(data, size), kPartCount);
    const Tree& tree = scratchTree();
    writeScratchFile(tree.hidDevice / "uevent", parts[kHidUevent]);
    writeScratchFile(tree.hidDevice / "report_descriptor", parts[kReportDescriptor]);
    writeOrRemove(tree.usbInterface / "bInterfaceNumber", parts[kInterfaceNumber], !parts[kInterfaceNumber].empty());
    writeScratchFile(tree.usbDevice / "bcdDevice", parts[kReleaseNumber]);
    writeScratchFile(tree.node / "uevent", parts[kNodeUevent]);

    const auto node = readSysfsHidNode(tree.node);
    if (!node)
        return;
    fuzzRequire(node->descriptor.has_value(), "a readable descriptor is parsed");
    fuzzRequire(node->ids.interfaceNumber >= -1 && node->ids.interfaceNumber <= 0xFF, "interface number fits");

    const std::vector<std::wstring> paths = node->paths();
    const std::size_t collections = node->descriptor->collections.size();
    fuzzRequire(paths.size() == (collections > 1 ? collections : 1), "one path per top-level collection");
    for (std::size_t i = 0; i < paths.size(); ++i) {
        checkPath(*node, paths[i], collections > 1 ? static_cast<int>(i + 1) : -1);
        const auto details = node->details(paths[i]);
        fuzzRequire(details.has_value(), "every listed path has details");
        fuzzRequire(details->attributes.vendorId == node->ids.vendorId
                        && details->attributes.productId == node->ids.productId
                        && details->attributes.versionNumber == node->releaseNumber,
                    "details carry the node's attributes");
        if (i < collections) {
            const HidTopLevelCollection& expected = node->descriptor->collections[i];
            fuzzRequire(details->caps.usagePage == expected.usagePage && details->caps.usage == expected.usage
                            && details->caps.inputReportByteLength == expected.inputReportByteLength
                            && details->caps.outputReportByteLength == expected.outputReportByteLength,
                        "details carry the path's own collection");
        }
    }
    fuzzRequire(!node->details(L"\\\\?\\hid#vid_0000&pid_0000#elsewhere").has_value(),
                "another path has no details");
}
