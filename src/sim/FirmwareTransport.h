#pragma once

#include "mouse/MouseWireLayout.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The bus side of a simulated device: how reports reach the firmware from the
// host and back. The device thread calls every operation with the device's own
// lock held; an implementation may be called from that thread and from the
// thread that plugs or unplugs the device, never from two at once.
class FirmwareTransport {
public:
    virtual ~FirmwareTransport() = default;

    // A host descriptor served by this transport directly, or -1 with errno
    // set: ENODEV while detached, EOPNOTSUPP where the host opens a kernel
    // node instead. The caller owns the descriptor.
    virtual int openHostEnd() = 0;
    // The device appears on the bus.
    virtual void attach() = 0;
    // The device leaves the bus: every host descriptor sees a hang-up at once
    // and any further transfer on it fails.
    virtual void detach() = 0;
    // Descriptors the device thread waits on (readable: output reports pending).
    virtual void appendWaitDescriptors(std::vector<int>& descriptors) = 0;
    // Every pending output report on `descriptor`, in arrival order; none if
    // the descriptor is no longer one of this transport's.
    virtual std::vector<MouseReport> receive(int descriptor) = 0;
    // Sends one input report to the host.
    virtual void send(const MouseReport& report) = 0;
    // Host descriptors open on the device now.
    virtual std::size_t openConnectionCount() const = 0;
};

// An output transfer is the report-ID byte (always 0 for this device), then the
// report. Shorter reports are padded with zeros, as the device's fixed-size
// report would be. None for an empty transfer, another report ID, or more than
// a report's worth of bytes.
std::optional<MouseReport> reportFromOutputTransfer(std::span<const std::uint8_t> transfer);
