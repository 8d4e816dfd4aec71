#include "hid/linux/SysfsHidNode.h"

#include "hid/linux/Uevent.h"

#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The kernel caps report descriptors at 4096 bytes; sysfs text files at a page.
constexpr size_t kMaxDescriptorSize = 4096;
constexpr size_t kMaxAttributeSize = 4096;
constexpr const char* kDeviceNodeDirectory = "/dev/";
constexpr uint16_t kMaxInterfaceNumber = 0xFF;

struct FileContents {
    int handle = -1;  // closed again; -1 when the file could not be opened
    std::optional<std::string> bytes;
};

FileContents readFile(const fs::path& path, size_t limit)
{
    FileContents contents;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return contents;
    contents.handle = fd;
    std::string bytes(limit, '\0');
    size_t filled = 0;
    bool failed = false;
    while (filled < limit) {
        const ssize_t received = ::read(fd, bytes.data() + filled, limit - filled);
        if (received < 0 && errno == EINTR)
            continue;
        if (received < 0) {
            failed = true;
            break;
        }
        if (received == 0)
            break;
        filled += static_cast<size_t>(received);
    }
    ::close(fd);
    if (!failed) {
        bytes.resize(filled);
        contents.bytes = std::move(bytes);
    }
    return contents;
}

std::optional<std::string> readAttribute(const fs::path& path)
{
    return readFile(path, kMaxAttributeSize).bytes;
}

std::string deviceNodeOf(const fs::path& nodeDirectory)
{
    const auto uevent = readAttribute(nodeDirectory / "uevent");
    const UeventProperties properties = parseUevent(uevent.value_or(std::string()));
    const std::string_view name = ueventValue(properties, "DEVNAME");
    if (!name.empty() && name.front() == '/')
        return std::string(name);
    return kDeviceNodeDirectory + (name.empty() ? nodeDirectory.filename().string() : std::string(name));
}

}  // namespace

std::vector<std::wstring> SysfsHidNode::paths() const
{
    const size_t collections = descriptor ? descriptor->collections.size() : 0;
    if (collections <= 1)
        return {formatHidDevicePath(ids, deviceNode)};
    std::vector<std::wstring> result;
    result.reserve(collections);
    for (size_t i = 0; i < collections; ++i) {
        HidPathIds collectionIds = ids;
        collectionIds.collectionNumber = static_cast<int>(i + 1);
        result.push_back(formatHidDevicePath(collectionIds, deviceNode));
    }
    return result;
}

std::optional<HidInterfaceDetails> SysfsHidNode::details(const std::wstring& path) const
{
    if (!descriptor)
        return std::nullopt;
    const std::vector<std::wstring> all = paths();
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i] != path)
            continue;
        HidInterfaceDetails result;
        result.attributes = HidAttributes{ids.vendorId, ids.productId, releaseNumber};
        if (i < descriptor->collections.size()) {
            const HidTopLevelCollection& collection = descriptor->collections[i];
            result.caps = HidCaps{collection.usage, collection.usagePage, collection.inputReportByteLength,
                                  collection.outputReportByteLength, collection.featureReportByteLength};
        }
        result.reportIdsUsed = descriptor->reportIdsUsed;
        return result;
    }
    return std::nullopt;
}

std::optional<SysfsHidNode> readSysfsHidNode(const fs::path& nodeDirectory)
{
    std::error_code error;
    const fs::path hidDevice = fs::canonical(nodeDirectory / "device", error);
    if (error)
        return std::nullopt;
    const auto uevent = readAttribute(hidDevice / "uevent");
    if (!uevent)
        return std::nullopt;
    const UeventProperties properties = parseUevent(*uevent);
    const auto hidId = parseHidId(ueventValue(properties, "HID_ID"));
    if (!hidId)
        return std::nullopt;

    SysfsHidNode node;
    node.deviceNode = deviceNodeOf(nodeDirectory);
    node.ids.vendorId = hidId->vendorId;
    node.ids.productId = hidId->productId;

    const fs::path usbInterface = hidDevice.parent_path();
    const auto interfaceNumber = readAttribute(usbInterface / "bInterfaceNumber");
    if (interfaceNumber) {
        const auto number = parseHexAttribute(*interfaceNumber);
        if (number && *number <= kMaxInterfaceNumber)
            node.ids.interfaceNumber = *number;
        const auto release = readAttribute(usbInterface.parent_path() / "bcdDevice");
        node.releaseNumber = parseHexAttribute(release.value_or(std::string())).value_or(0);
    } else if (const auto number = interfaceFromPhys(ueventValue(properties, "HID_PHYS"))) {
        node.ids.interfaceNumber = *number;
    }

    const FileContents descriptor = readFile(hidDevice / "report_descriptor", kMaxDescriptorSize);
    node.descriptorHandle = descriptor.handle;
    if (descriptor.bytes) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(descriptor.bytes->data());
        node.descriptor = parseReportDescriptor(std::span(bytes, descriptor.bytes->size()));
    }
    return node;
}
