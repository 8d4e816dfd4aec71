#pragma once

#include "app/SimulationControl.h"
#include "sim/SimulatedHidBackend.h"

#include <memory>

struct DeviceConfig;

// The built-in simulated mouse, plugged in under the configured ids and
// installed as the process's HID backend for the session's lifetime. When
// the environment names a control FIFO (MOUSECFG_SIM_CONTROL), other
// processes can plug, unplug and silence it through that FIFO.
class SimulatedMouseSession {
public:
    explicit SimulatedMouseSession(const DeviceConfig& config);
    ~SimulatedMouseSession();
    SimulatedMouseSession(const SimulatedMouseSession&) = delete;
    SimulatedMouseSession& operator=(const SimulatedMouseSession&) = delete;

    SimulatedMouse& mouse() { return mouse_; }

private:
    SimulatedHidBackend backend_;
    SimulatedMouse& mouse_;
    std::unique_ptr<SimulationControl> control_;
};

// The simulated mouse's identity for a configured device: its ids, with a
// wildcard interface or collection replaced by a concrete one.
SimulatedMouseIdentity simulatedIdentityFor(const UsbInfo& configured);
