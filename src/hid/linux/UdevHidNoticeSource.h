#pragma once

#include "hid/HidNoticeSource.h"
#include "hid/linux/HidrawEventTranslator.h"

#include <deque>
#include <filesystem>
#include <memory>

struct udev;
struct udev_monitor;

// Hidraw arrivals and removals from a udev monitor: udevd's events when udevd
// runs (nodes then have their permissions set), the kernel's own uevents
// otherwise.
class UdevHidNoticeSource : public HidNoticeSource {
public:
    // Null when no monitor can be set up.
    static std::unique_ptr<UdevHidNoticeSource> create(const std::filesystem::path& sysfsRoot);

    ~UdevHidNoticeSource() override;
    UdevHidNoticeSource(const UdevHidNoticeSource&) = delete;
    UdevHidNoticeSource& operator=(const UdevHidNoticeSource&) = delete;

    int fd() const override;
    std::optional<HidNotice> nextNotice() override;

private:
    UdevHidNoticeSource(udev* context, udev_monitor* monitor, const std::filesystem::path& sysfsRoot);

    udev* context_;
    udev_monitor* monitor_;
    HidrawEventTranslator translator_;
    std::deque<HidNotice> pending_;
};
