#pragma once

#include <filesystem>
#include <vector>

// The class directories of every hidraw node under a sysfs root
// (<root>/class/hidraw/hidrawN), ordered by node number.
std::vector<std::filesystem::path> listHidrawNodeDirectories(const std::filesystem::path& sysfsRoot);

// <root>/class/hidraw/<name> for a device node such as "/dev/hidraw3".
std::filesystem::path hidrawNodeDirectory(const std::filesystem::path& sysfsRoot,
                                          const std::filesystem::path& deviceNode);
