#pragma once

#include "ChildProcess.h"

#include <memory>
#include <string>

// An Xvfb server of its own on a display number nobody uses, optionally with
// a system tray host (trayer) on it.
class VirtualDisplay {
public:
    // name() is empty when the server could not be started.
    VirtualDisplay();
    ~VirtualDisplay();

    const std::string& name() const { return name_; }
    // Starts trayer; false when it is missing or no tray appeared.
    bool startTrayHost();

private:
    std::string name_;
    std::unique_ptr<ChildProcess> server_;
    std::unique_ptr<ChildProcess> trayHost_;
};
