#pragma once

#include <cstdint>

// Identity and capability records of one HID interface, in the shape the rest of
// the program expects from a HID stack.

// A 128-bit interface class identifier in its usual four-field form.
struct HidGuid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};
};
static_assert(sizeof(HidGuid) == 16);

// The HID device interface class; every interface listed by the enumeration
// carries it.
inline constexpr HidGuid kHidInterfaceClassGuid{
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

// The device's attributes: ids and release number (bcdDevice on USB).
struct HidAttributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;
};

// The capabilities of one top-level collection. Report lengths count the
// report-ID byte: a collection without report ids whose input reports carry
// 64 bytes has an input report length of 65. A length of 0 means the
// collection has no report of that kind.
struct HidCaps {
    uint16_t usage = 0;
    uint16_t usagePage = 0;
    uint16_t inputReportByteLength = 0;
    uint16_t outputReportByteLength = 0;
    uint16_t featureReportByteLength = 0;
};

// What an attribute query learns about one interface.
struct HidInterfaceDetails {
    HidAttributes attributes;
    HidCaps caps;
    // Whether the interface numbers its reports. A read(2) on the node yields
    // the report-ID byte first only then; HidDevice puts the 0 back in front
    // of unnumbered input reports so that every transfer starts with it.
    bool reportIdsUsed = false;
};
