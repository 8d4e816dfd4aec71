#pragma once

#include "hid/HidNoticeSource.h"
#include "hid/linux/Uevent.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

// Turns hidraw device events (their property sets: ACTION, SUBSYSTEM,
// DEVPATH, DEVNAME) into notices with the paths the enumeration lists.
//
// An arrival reads the node's sysfs directory; the paths it gives are
// remembered per device node, so that the removal, which comes when sysfs no
// longer has the node, names the same paths. A removal of a node never seen
// builds its path from DEVPATH alone: the HID device's directory name gives
// vendor and product and a USB interface directory above it the interface
// number; a multi-collection interface then gets a single path.
class HidrawEventTranslator {
public:
    explicit HidrawEventTranslator(std::filesystem::path sysfsRoot);

    // Learns the paths of every node present now.
    void rememberPresentNodes();

    // Notices for one event, in collection order; none for events of other
    // subsystems or actions.
    std::vector<HidNotice> translate(const UeventProperties& event);

private:
    std::vector<std::wstring> pathsFromDevpath(const std::string& devpath, const std::string& deviceNode) const;

    std::filesystem::path sysfsRoot_;
    std::map<std::string, std::vector<std::wstring>> pathsByNode_;
};
