#include "hid/linux/UdevHidNoticeSource.h"

#include <libudev.h>
#include <unistd.h>

namespace {

// udevd listens on this socket while it runs.
constexpr const char* kUdevControlSocket = "/run/udev/control";
constexpr const char* kUdevEvents = "udev";
constexpr const char* kKernelEvents = "kernel";
constexpr const char* kHidrawSubsystem = "hidraw";

void setIfPresent(UeventProperties& properties, const char* key, const char* value)
{
    if (value != nullptr)
        properties[key] = value;
}

UeventProperties propertiesOf(udev_device* device)
{
    UeventProperties properties;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_device_get_properties_list_entry(device))
    {
        const char* name = udev_list_entry_get_name(entry);
        const char* value = udev_list_entry_get_value(entry);
        if (name != nullptr)
            properties[name] = value != nullptr ? value : "";
    }
    setIfPresent(properties, "ACTION", udev_device_get_action(device));
    setIfPresent(properties, "SUBSYSTEM", udev_device_get_subsystem(device));
    setIfPresent(properties, "DEVPATH", udev_device_get_devpath(device));
    setIfPresent(properties, "DEVNAME", udev_device_get_devnode(device));
    return properties;
}

}  // namespace

std::unique_ptr<UdevHidNoticeSource> UdevHidNoticeSource::create(const std::filesystem::path& sysfsRoot)
{
    udev* context = udev_new();
    if (context == nullptr)
        return nullptr;
    const char* events = ::access(kUdevControlSocket, F_OK) == 0 ? kUdevEvents : kKernelEvents;
    udev_monitor* monitor = udev_monitor_new_from_netlink(context, events);
    if (monitor == nullptr || udev_monitor_filter_add_match_subsystem_devtype(monitor, kHidrawSubsystem, nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        udev_monitor_unref(monitor);
        udev_unref(context);
        return nullptr;
    }
    // Learn the present nodes only now that the monitor runs, so none slips between.
    return std::unique_ptr<UdevHidNoticeSource>(new UdevHidNoticeSource(context, monitor, sysfsRoot));
}

UdevHidNoticeSource::UdevHidNoticeSource(udev* context, udev_monitor* monitor,
                                         const std::filesystem::path& sysfsRoot)
    : context_(context), monitor_(monitor), translator_(sysfsRoot)
{
    translator_.rememberPresentNodes();
}

UdevHidNoticeSource::~UdevHidNoticeSource()
{
    udev_monitor_unref(monitor_);
    udev_unref(context_);
}

int UdevHidNoticeSource::fd() const
{
    return udev_monitor_get_fd(monitor_);
}

std::optional<HidNotice> UdevHidNoticeSource::nextNotice()
{
    while (pending_.empty()) {
        udev_device* device = udev_monitor_receive_device(monitor_);
        if (device == nullptr)
            return std::nullopt;
        for (auto& notice : translator_.translate(propertiesOf(device)))
            pending_.push_back(std::move(notice));
        udev_device_unref(device);
    }
    HidNotice notice = std::move(pending_.front());
    pending_.pop_front();
    return notice;
}
