#pragma once

#include "hid/HidBackend.h"
#include "hid/HidNoticeSource.h"
#include "hid/HidTypes.h"

#include <cstdint>
#include <memory>
#include <string>

// Interface flag of an enumerated interface that is present.
inline constexpr uint32_t kHidInterfaceActive = 0x1;

// One present HID interface that passed the enumeration filters; the list is
// released with freeHidInterfaceList.
struct HidInterfaceInfo {
    HidInterfaceInfo* next = nullptr;
    std::wstring devicePath;
    HidGuid interfaceClassGuid;
    uint32_t reserved = 0;
    uint32_t flags = 0;
    int32_t vendorId = 0;   // as parsed from the path
    int32_t productId = 0;  // as parsed from the path
    uint16_t releaseNumber = 0;  // 0 when the attributes could not be read
    uint16_t usagePage = 0;      // 0 when the capabilities could not be read
    uint16_t usage = 0;
};

// Lists the present interfaces that pass the filters, in enumeration order:
//  - productIds/productIdCount: an absent array or a negative count is an
//    empty list; an empty list accepts any product, otherwise the product id
//    must be one of the entries;
//  - vendorId: greater than 0 must match, 0 or less accepts any;
//  - interfaceNumber and collectionNumber: 0 or more must match, -1 accepts
//    any, other negative values accept nothing.
// An empty product list together with a vendor id of 0 or less returns null
// at once. Returns null when nothing matched.
HidInterfaceInfo* enumerateHidInterfaces(int32_t vendorId, int32_t productIdCount,
                                         const int32_t* productIds, int32_t interfaceNumber,
                                         int32_t collectionNumber);

// Releases every record of a list; null is accepted.
void freeHidInterfaceList(HidInterfaceInfo* head);

// Reads the attributes and, when caps is given, the capabilities of the
// interface a path names. Returns 1 when the interface could be queried,
// else 0 (the out structures are then untouched).
int queryHidPath(const wchar_t* path, HidAttributes* attributes, HidCaps* caps);

// The attribute query behind queryHidPath, with what HidDevice needs beyond
// the capabilities. A null path gives an empty query.
HidInterfaceQuery queryHidInterface(const wchar_t* path);

// A source of arrival and removal notices for the active backend's interfaces,
// or null when none can be set up. The caller watches its fd.
std::unique_ptr<HidNoticeSource> registerHidNotifications();
