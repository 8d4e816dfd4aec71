#pragma once

#include <cstdint>
#include <span>
#include <vector>

// One top-level collection of a report descriptor with the lengths of its
// longest input, output and feature reports. Lengths count the report-ID byte,
// whether or not the descriptor numbers its reports; 0 means the collection
// has no report of that kind.
struct HidTopLevelCollection {
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t inputReportByteLength = 0;
    uint16_t outputReportByteLength = 0;
    uint16_t featureReportByteLength = 0;
};

struct HidReportDescriptorInfo {
    std::vector<HidTopLevelCollection> collections;  // in descriptor order
    bool reportIdsUsed = false;  // a Report ID item appears anywhere
};

// Reads the top-level collections out of a report descriptor. Accepts any
// bytes: parsing stops at a truncated item, unbalanced collection ends and
// pops are ignored, and lengths saturate at 65535.
HidReportDescriptorInfo parseReportDescriptor(std::span<const uint8_t> descriptor);
