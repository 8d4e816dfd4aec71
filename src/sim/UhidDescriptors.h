#pragma once

#include <cstdint>
#include <span>

// The report descriptors of the mouse's two USB interfaces, as the kernel
// reads them when the device is created.

// Interface 0: a boot-protocol pointer with five buttons and relative X, Y
// and wheel, in one 4-byte input report without report id.
std::span<const std::uint8_t> pointerInterfaceDescriptor();

// The interface the configuration tool talks to: one vendor-defined
// collection (usage page 0xFF00, usage 1) with one 64-byte input report and
// one 64-byte output report, no report ids.
std::span<const std::uint8_t> vendorInterfaceDescriptor();
