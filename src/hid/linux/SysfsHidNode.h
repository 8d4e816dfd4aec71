#pragma once

#include "hid/HidPath.h"
#include "hid/HidTypes.h"
#include "hid/ReportDescriptor.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// What sysfs tells about one hidraw node and the HID device above it.
struct SysfsHidNode {
    std::string deviceNode;  // "/dev/hidraw3"
    HidPathIds ids;          // collection number unset
    uint16_t releaseNumber = 0;  // the USB device's bcdDevice; 0 off USB
    // The descriptor the report descriptor was read through (closed again),
    // -1 when it could not be opened.
    int descriptorHandle = -1;
    // Absent when the report descriptor could not be read.
    std::optional<HidReportDescriptorInfo> descriptor;

    // One path per top-level collection ("&colNN", 1-based) when there is
    // more than one, else a single path without a collection field.
    std::vector<std::wstring> paths() const;

    // Attributes and capabilities for one of paths(); absent for another
    // path or when the descriptor could not be read.
    std::optional<HidInterfaceDetails> details(const std::wstring& path) const;
};

// Reads a hidraw node's sysfs directory (/sys/class/hidraw/hidrawN or the
// /sys/devices/... directory it links to): the HID device's uevent (HID_ID,
// HID_PHYS), its report descriptor, and the USB interface and device it
// hangs on, if any. The interface number comes from the USB interface's
// bInterfaceNumber, else from a HID_PHYS ending in "/inputN". Absent when the
// node has no HID device with a readable HID_ID.
std::optional<SysfsHidNode> readSysfsHidNode(const std::filesystem::path& nodeDirectory);
