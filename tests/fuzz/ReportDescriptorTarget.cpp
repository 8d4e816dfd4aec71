// A report descriptor as a device presents it in sysfs.

#include "FuzzCheck.h"
#include "FuzzTarget.h"

#include "hid/ReportDescriptor.h"

#include <algorithm>

FUZZ_TARGET(report_descriptor)
{
    const std::span<const std::uint8_t> descriptor(data, size);
    const HidReportDescriptorInfo info = parseReportDescriptor(descriptor);

    // Each top-level collection needs a Collection item of at least one byte.
    fuzzRequire(info.collections.size() <= size, "no more collections than items");
    const bool anyReportIdItem = std::any_of(data, data + size, [](std::uint8_t b) { return (b & 0xFC) == 0x84; });
    fuzzRequire(!info.reportIdsUsed || anyReportIdItem, "report ids are used only when an item declares one");

    // Bytes after a truncated item are never read: cutting the descriptor
    // there cannot change what came before.
    if (size > 0) {
        const HidReportDescriptorInfo prefix = parseReportDescriptor(descriptor.first(size - 1));
        fuzzRequire(prefix.collections.size() <= info.collections.size(), "a longer descriptor loses no collection");
    }
}
