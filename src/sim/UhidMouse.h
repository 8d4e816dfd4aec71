#pragma once

#include "sim/SimulatedMouse.h"
#include "sim/UhidTransport.h"

#include <memory>

// The simulated mouse on the kernel's uhid interface, made so that it takes
// output reports as fast as hosts write them.
//
// A hidraw write to a uhid device only queues the report for the firmware
// side, which may hold 31 of them and drops the rest, and the write never
// waits (a USB device, by contrast, holds the host's write until it has taken
// the report). The mouse's device thread is therefore started with real-time
// priority, so that each write wakes it ahead of the writing host, as a
// device's own processor would take the report. Without permission for that
// (real-time scheduling needs CAP_SYS_NICE) it runs with normal priority, and a
// long burst of writes may lose reports.
struct UhidMouse {
    std::unique_ptr<SimulatedMouse> mouse;  // null when the uhid node could not be opened
    // errno of that failure; with a mouse, the error of giving the calling
    // thread its own scheduling back (it then stays real-time)
    int error = 0;
    bool realtimeFirmware = false;  // the device thread runs with real-time priority
    // The mouse's transport (owned by the mouse): its lastError() tells
    // whether the kernel took every request.
    const UhidTransport* transport = nullptr;
};

UhidMouse makeUhidMouse(const SimulatedMouseIdentity& identity, const char* node = kUhidNode);
