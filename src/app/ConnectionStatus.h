#pragma once

#include "shape/Records.h"

// What the main window's status line says about the configured mouse.
enum class ConnectionStatus {
    connected,
    simulated,    // connected, and it is the built-in simulated mouse
    absent,       // not plugged in
    noPermission, // plugged in, but this user may not open it
    unopenable,   // plugged in, but opening it failed for another reason
};

// Why the configured mouse is not open: looks for it among the present
// interfaces and tries its device node.
ConnectionStatus probeClosedMouse(const UsbInfo& configured);

// The named string (in the resource package) that describes `status`.
const wchar_t* connectionStatusStringName(ConnectionStatus status);
