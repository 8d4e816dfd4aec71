#pragma once

#include <cstdint>

// Reads the ids out of a device path. The pattern is searched anywhere in the
// path, ignoring case. The interface and collection fields yield only their
// last character ("&mi_12" gives interface 2); callers compare against
// single-digit numbers.
// A field that is absent yields -1. On failure (null path, no match) the out
// values keep what the caller put there.
bool parseHidDevicePath(const wchar_t* path, int32_t& vendorId, int32_t& productId,
                        int32_t& interfaceNumber, int32_t& collectionNumber);

// The same for USB device paths ("usb#vid_...&pid_..."), plus the revision,
// which likewise holds only the last character of its "&rev_XXXX" field.
bool parseUsbDevicePath(const wchar_t* path, int32_t& vendorId, int32_t& productId,
                        int32_t& interfaceNumber, int32_t& collectionNumber, int32_t& revision);
