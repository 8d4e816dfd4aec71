#pragma once

#include "hid/HidNoticeSource.h"
#include "hid/HidTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The platform side of device discovery and I/O. The enumeration, the path
// parser and HidDevice hold the program's logic; a backend only lists what is
// present and opens it. The Linux backend (sysfs + hidraw) is active unless
// another one is installed with setHidBackend (the simulated mouse does that).
//
// Device paths have the form
//     \\?\hid#vid_1a2b&pid_3c4d&mi_01&col02#/dev/hidraw3
// with ids in lower-case hex, "&mi_XX" only when the interface number is known,
// "&colXX" (1-based, two hex digits) only when the interface's report
// descriptor holds more than one top-level collection (then one path per
// collection, all naming the same node), and the node after the last '#'.
// formatHidDevicePath in hid/HidPath.h builds them.

// Result of an attribute query on one interface path.
struct HidInterfaceQuery {
    // The descriptor the backend opened to read the details, already closed
    // again when the query returns; -1 when nothing could be opened. Only
    // traced.
    int handle = -1;
    // Absent when the interface's attributes or capabilities could not be read.
    std::optional<HidInterfaceDetails> details;
};

// Access rights asked of openNode.
enum class HidNodeAccess { none, read, write, readWrite };

class HidBackend {
public:
    virtual ~HidBackend() = default;

    // Device paths of every present HID interface, in a stable enumeration
    // order (hidraw nodes by number, then collections in descriptor order).
    virtual std::vector<std::wstring> listInterfacePaths() = 0;

    // Attributes and capabilities of the interface a listed path names.
    // The capabilities are those of the path's collection.
    virtual HidInterfaceQuery queryInterface(const std::wstring& path) = 0;

    // Opens a device node (the part of a path after its last '#') and returns
    // a file descriptor opened close-on-exec and non-blocking, or -1 with errno
    // set. The caller owns the descriptor. Reads and writes on it move whole
    // reports: a write takes the report-ID byte first (0 when the device uses
    // no report ids); a read yields one input report, led by its report-ID
    // byte only when the device uses report ids. A descriptor opened with
    // HidNodeAccess::none identifies the node but moves no reports.
    virtual int openNode(const std::string& node, HidNodeAccess access) = 0;

    // Feature reports on a descriptor from openNode. buffer[0] holds the
    // report id (0 when the device uses none), followed by the report data;
    // length counts that byte. getFeatureReport fills buffer from byte 0 on.
    // Both return the number of bytes transferred (counting the report-ID
    // byte), or -1 with errno set on failure.
    virtual int getFeatureReport(int fd, uint8_t* buffer, size_t length) = 0;
    virtual int setFeatureReport(int fd, const uint8_t* buffer, size_t length) = 0;

    // A new source of arrival and removal notices for this backend's
    // interfaces, or null when none can be set up.
    virtual std::unique_ptr<HidNoticeSource> openNoticeSource() = 0;
};

// The backend the enumeration, queryHidPath and HidDevice use now.
HidBackend& activeHidBackend();

// Installs a backend for the whole process; null restores the Linux backend.
// The backend is not owned and must outlive its use. Install before devices
// are opened: an open HidDevice keeps the descriptor it was given.
void setHidBackend(HidBackend* backend);
