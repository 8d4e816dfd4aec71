#include "hid/linux/HidrawEventTranslator.h"

#include "hid/HidPath.h"
#include "hid/linux/HidrawNodes.h"
#include "hid/linux/SysfsHidNode.h"

namespace {

constexpr std::string_view kHidrawSubsystem = "hidraw";
constexpr std::string_view kAddAction = "add";
constexpr std::string_view kRemoveAction = "remove";
constexpr const char* kDeviceNodeDirectory = "/dev/";

std::vector<std::string_view> splitPath(std::string_view path)
{
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const size_t slash = path.find('/');
        const std::string_view part = path.substr(0, slash);
        if (!part.empty())
            parts.push_back(part);
        if (slash == std::string_view::npos)
            break;
        path = path.substr(slash + 1);
    }
    return parts;
}

// DEVNAME is "hidraw3" in kernel events and "/dev/hidraw3" from udev; without
// it the node is named after the last DEVPATH component.
std::string deviceNodeOf(const UeventProperties& event)
{
    const std::string_view name = ueventValue(event, "DEVNAME");
    if (!name.empty())
        return name.front() == '/' ? std::string(name) : kDeviceNodeDirectory + std::string(name);
    const auto parts = splitPath(ueventValue(event, "DEVPATH"));
    return parts.empty() ? std::string() : kDeviceNodeDirectory + std::string(parts.back());
}

std::vector<HidNotice> noticesFor(bool arrived, const std::vector<std::wstring>& paths)
{
    std::vector<HidNotice> notices;
    notices.reserve(paths.size());
    for (const auto& path : paths)
        notices.push_back(HidNotice{arrived, path});
    return notices;
}

}  // namespace

HidrawEventTranslator::HidrawEventTranslator(std::filesystem::path sysfsRoot)
    : sysfsRoot_(std::move(sysfsRoot))
{
}

void HidrawEventTranslator::rememberPresentNodes()
{
    for (const auto& directory : listHidrawNodeDirectories(sysfsRoot_)) {
        if (const auto node = readSysfsHidNode(directory))
            pathsByNode_[node->deviceNode] = node->paths();
    }
}

std::vector<HidNotice> HidrawEventTranslator::translate(const UeventProperties& event)
{
    if (ueventValue(event, "SUBSYSTEM") != kHidrawSubsystem)
        return {};
    const std::string_view action = ueventValue(event, "ACTION");
    const std::string devpath(ueventValue(event, "DEVPATH"));
    const std::string deviceNode = deviceNodeOf(event);
    if (deviceNode.empty())
        return {};

    if (action == kAddAction) {
        const std::filesystem::path directory = sysfsRoot_ / std::filesystem::path(devpath).relative_path();
        const auto node = readSysfsHidNode(directory);
        std::vector<std::wstring> paths = node ? node->paths() : pathsFromDevpath(devpath, deviceNode);
        if (paths.empty())
            return {};
        pathsByNode_[deviceNode] = paths;
        return noticesFor(true, paths);
    }
    if (action == kRemoveAction) {
        const auto remembered = pathsByNode_.find(deviceNode);
        if (remembered == pathsByNode_.end())
            return noticesFor(false, pathsFromDevpath(devpath, deviceNode));
        const std::vector<std::wstring> paths = std::move(remembered->second);
        pathsByNode_.erase(remembered);
        return noticesFor(false, paths);
    }
    return {};
}

// .../<usb interface>/<bus:vendor:product.instance>/hidraw/hidrawN
std::vector<std::wstring> HidrawEventTranslator::pathsFromDevpath(const std::string& devpath,
                                                                  const std::string& deviceNode) const
{
    constexpr size_t kHidDeviceFromEnd = 3;
    constexpr size_t kUsbInterfaceFromEnd = 4;
    const auto parts = splitPath(devpath);
    if (parts.size() < kHidDeviceFromEnd)
        return {};
    const auto hidId = parseHidDeviceName(parts[parts.size() - kHidDeviceFromEnd]);
    if (!hidId)
        return {};
    HidPathIds ids;
    ids.vendorId = hidId->vendorId;
    ids.productId = hidId->productId;
    if (parts.size() >= kUsbInterfaceFromEnd) {
        if (const auto number = interfaceFromUsbInterfaceName(parts[parts.size() - kUsbInterfaceFromEnd]))
            ids.interfaceNumber = *number;
    }
    return {formatHidDevicePath(ids, deviceNode)};
}
