#pragma once

#include "hid/HidHandle.h"
#include "hid/HidTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// What one transfer runs on: the shared handle (null when the device is closed
// or its last open failed) and the capabilities that clamp the length.
struct HidTransferTarget {
    std::shared_ptr<HidHandle> handle;
    bool invalidHandle = false;  // the last open failed
    HidCaps caps;
};

// No abort event.
inline constexpr int kNoAbortEvent = -1;

// Error code traced when a transfer's wait runs out.
inline constexpr int kPendingErrorCode = 997;

// Timed read of one report into buffer, bounded by timeoutMs. buffer[0]
// receives the report-ID byte (0 for unnumbered reports); a non-zero input
// report length in caps smaller than length shortens the read. abortEvent is
// an eventfd or kNoAbortEvent; when it signals, it is reset and the read
// returns 0. Closing the device also ends the wait with 0. Returns the bytes
// transferred counting the report-ID byte, 0 on failure, time-out or abort.
int transferRead(const HidTransferTarget& target, uint8_t* buffer, size_t length, int timeoutMs,
                 int abortEvent);

// Timed write of one report (buffer[0] the report-ID byte), with the same
// clamping to the output report length, abort and time-out. Returns the bytes
// written, 0 on failure, time-out, abort or a time-out of 0 or less.
int transferWrite(const HidTransferTarget& target, const uint8_t* buffer, size_t length,
                  int timeoutMs, int abortEvent);
