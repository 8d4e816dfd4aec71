#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The parts a device path is built from.
struct HidPathIds {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    int interfaceNumber = -1;  // -1: the interface number is unknown, no "&mi_"
    int collectionNumber = -1;  // 1-based; -1: single collection, no "&col"
};

// How every device path built here begins.
inline constexpr std::wstring_view kHidPathPrefix = L"\\\\?\\hid#";

// Builds "\\?\hid#vid_1a2b&pid_3c4d&mi_01&col02#<node>" (lower-case hex, at
// least two digits for the interface and collection numbers).
std::wstring formatHidDevicePath(const HidPathIds& ids, const std::string& node);

// The device node a path names: in a path built above, everything after the
// ids (a node's own '#' included); in any other path the text after its last
// '#', or the whole path when it has none.
std::string hidPathNode(const std::wstring& path);
