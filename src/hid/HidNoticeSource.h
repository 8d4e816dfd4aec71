#pragma once

#include <optional>
#include <string>

// One device arrival or removal, named by the interface's device path (the same
// path the enumeration lists for it).
struct HidNotice {
    bool arrived = false;
    std::wstring path;
};

// A source of HID arrival and removal notices that an event loop can watch.
//
// An interface listed once per top-level collection gives one notice per
// collection, each with its own path, on arrival and again on removal.
// A removal names the same path(s) that the arrival or an enumeration gave,
// although the device node is gone by then.
class HidNoticeSource {
public:
    virtual ~HidNoticeSource() = default;

    // A file descriptor that polls readable (POLLIN) when notices may be
    // pending. The source keeps ownership; the fd stays valid for the source's
    // lifetime. After it polls readable, call nextNotice() until it returns
    // nothing: one readable event may carry several notices.
    virtual int fd() const = 0;

    // The next pending notice, or nothing when none is pending. Never blocks.
    // Events that do not concern a HID interface are consumed silently.
    virtual std::optional<HidNotice> nextNotice() = 0;
};
