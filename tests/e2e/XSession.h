#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "ChildProcess.h"

// A private X desktop for end-to-end tests: Xvfb on a free display, the
// openbox window manager and, when asked, a trayer system tray. It sets
// DISPLAY for the test process and clears DBUS_SESSION_BUS_ADDRESS, so that
// Qt's tray icon takes the XEmbed path a test can click. Everything started
// is stopped by the destructor.
class XSession {
public:
    struct Options {
        bool tray = false;
        int width = 1280;
        int height = 800;
    };

    XSession() = default;
    ~XSession();

    // Starts the desktop and waits (bounded) until the window manager and
    // the tray have taken their places. The reason of a failure is in error().
    bool start(const Options& options);
    void stop();

    const std::string& display() const { return display_; }
    const std::string& error() const { return error_; }

    // Restarts the tray host (it is gone until the new one owns the tray).
    bool restartTray();

private:
    bool startXvfb(const Options& options);
    bool waitForSelectionOwner(const char* selection, std::chrono::milliseconds timeout);
    bool waitForRootProperty(const char* property, std::chrono::milliseconds timeout);

    ChildProcess xvfb_;
    ChildProcess windowManager_;
    ChildProcess tray_;
    std::string display_;
    std::string error_;
};
