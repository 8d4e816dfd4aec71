// A run of hidraw device events, as the udev monitor or the kernel hands
// them over, translated against a sysfs tree of a desktop machine. The first
// part of the input asks for the present nodes to be learnt first when it
// reads "present"; each further part is one event's properties.

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include "hid/HidPath.h"
#include "hid/HidPathParser.h"
#include "hid/linux/HidrawEventTranslator.h"

#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxEvents = 8;
constexpr std::string_view kLearnPresentNodes = "present";

std::vector<std::wstring> pathsOf(const std::vector<HidNotice>& notices)
{
    std::vector<std::wstring> paths;
    for (const HidNotice& notice : notices)
        paths.push_back(notice.path);
    return paths;
}

void checkNotices(const std::vector<HidNotice>& notices, bool arrived)
{
    for (const HidNotice& notice : notices) {
        fuzzRequire(notice.arrived == arrived, "a notice tells the event's action");
        int32_t vendorId = -1;
        int32_t productId = -1;
        int32_t interfaceNumber = -1;
        int32_t collectionNumber = -1;
        fuzzRequire(parseHidDevicePath(notice.path.c_str(), vendorId, productId, interfaceNumber, collectionNumber),
                    "a notice's path parses");
        fuzzRequire(!hidPathNode(notice.path).empty(), "a notice's path names a node");
    }
}

} // namespace

FUZZ_TARGET(hidraw_events)
{
    const auto parts = splitFuzzInput(fuzzText(data, size), kMaxEvents + 1);
    HidrawEventTranslator translator(MOUSECFG_FIXTURES_DIR "/sysfs/desktop");
    if (parts[0] == kLearnPresentNodes)
        translator.rememberPresentNodes();

    for (std::size_t i = 1; i < parts.size(); ++i) {
        UeventProperties event = parseUevent(parts[i]);
        // Kernel device paths never climb out of sysfs; keep the reads inside the tree.
        if (ueventValue(event, "DEVPATH").find("..") != std::string_view::npos)
            continue;
        const std::string action(ueventValue(event, "ACTION"));
        const std::vector<HidNotice> notices = translator.translate(event);
        checkNotices(notices, action == "add");
        if (action != "add" || notices.empty())
            continue;
        // The removal that follows names exactly what the arrival did.
        event["ACTION"] = "remove";
        const std::vector<HidNotice> removals = translator.translate(event);
        checkNotices(removals, false);
        fuzzRequire(pathsOf(removals) == pathsOf(notices), "a removal names the arrival's paths");
    }
}
