#include "hid/linux/LinuxHidBackend.h"

#include "hid/HidPath.h"
#include "hid/linux/HidrawNodes.h"
#include "hid/linux/SysfsHidNode.h"
#include "hid/linux/UdevHidNoticeSource.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>

namespace {

// The ioctl number carries the length in a 14-bit field.
constexpr size_t kMaxFeatureLength = (1u << _IOC_SIZEBITS) - 1;

int openFlags(HidNodeAccess access)
{
    switch (access) {
    case HidNodeAccess::none: return O_PATH;
    case HidNodeAccess::read: return O_RDONLY;
    case HidNodeAccess::write: return O_WRONLY;
    case HidNodeAccess::readWrite: return O_RDWR;
    }
    return O_PATH;
}

}  // namespace

LinuxHidBackend::LinuxHidBackend(std::filesystem::path sysfsRoot) : sysfsRoot_(std::move(sysfsRoot))
{
}

std::vector<std::wstring> LinuxHidBackend::listInterfacePaths()
{
    std::vector<std::wstring> paths;
    for (const auto& directory : listHidrawNodeDirectories(sysfsRoot_)) {
        const auto node = readSysfsHidNode(directory);
        if (!node)
            continue;
        for (auto& path : node->paths())
            paths.push_back(std::move(path));
    }
    return paths;
}

HidInterfaceQuery LinuxHidBackend::queryInterface(const std::wstring& path)
{
    const std::string deviceNode = hidPathNode(path);
    const auto node = readSysfsHidNode(hidrawNodeDirectory(sysfsRoot_, deviceNode));
    if (!node || node->deviceNode != deviceNode)
        return {};
    return HidInterfaceQuery{node->descriptorHandle, node->details(path)};
}

int LinuxHidBackend::openNode(const std::string& node, HidNodeAccess access)
{
    return ::open(node.c_str(), openFlags(access) | O_CLOEXEC | O_NONBLOCK);
}

int LinuxHidBackend::getFeatureReport(int fd, uint8_t* buffer, size_t length)
{
    if (length > kMaxFeatureLength) {
        errno = EINVAL;
        return -1;
    }
    return ::ioctl(fd, HIDIOCGFEATURE(length), buffer);
}

int LinuxHidBackend::setFeatureReport(int fd, const uint8_t* buffer, size_t length)
{
    if (length > kMaxFeatureLength) {
        errno = EINVAL;
        return -1;
    }
    // The set call only reads the buffer.
    return ::ioctl(fd, HIDIOCSFEATURE(length), const_cast<uint8_t*>(buffer));
}

std::unique_ptr<HidNoticeSource> LinuxHidBackend::openNoticeSource()
{
    return UdevHidNoticeSource::create(sysfsRoot_);
}
