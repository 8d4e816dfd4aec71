#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "XClient.h"
#include "sim/WireLog.h"

// The mousecfg program run as a user runs it, from a portable copy in a
// temporary directory of its own (removed afterwards): the executable, its
// resource package and config.xml, and the profile files it writes. The
// built-in simulated mouse is controlled through its FIFO, its reports are
// read from its wire log, and widget positions from the widget map.
class MousecfgProcess {
public:
    MousecfgProcess();
    ~MousecfgProcess();
    MousecfgProcess(const MousecfgProcess&) = delete;
    MousecfgProcess& operator=(const MousecfgProcess&) = delete;

    // Starts `mousecfg --simulate` (and `extra` arguments).
    bool start(const std::vector<std::string>& extra = {});
    // Runs a second `mousecfg --simulate` in the same environment; its exit
    // code, or -1 when it has not ended within `timeout`.
    int runSecondInstance(std::chrono::milliseconds timeout);
    ChildProcess& process() { return process_; }
    const std::filesystem::path& directory() const { return directory_; }
    std::string output() const;

    // Writes one command line to the simulated mouse's control FIFO.
    bool control(const std::string& command);

    struct Widget {
        ScreenRect rect;
        std::string text;
    };
    // The visible named widgets as the program last wrote them.
    std::map<std::string, Widget> widgets() const;
    // How many visible widgets called `name` show some text (the filled
    // rows of a list).
    std::size_t countShowing(const std::string& name) const;
    // Waits until `name` shows `text`.
    bool waitForText(const std::string& name, const std::string& text,
                     std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Waits until `name` is visible; its rectangle.
    std::optional<ScreenRect> waitForWidget(const std::string& name,
                                            std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Waits until `name` is no longer visible.
    bool waitForWidgetGone(const std::string& name, std::chrono::milliseconds timeout = std::chrono::seconds(10));

    // Every report on the wire so far.
    std::vector<WireRecord> wire() const;
    // The host's requests as hex up to their last non-zero byte ("07 FA 02").
    std::vector<std::string> hostRequests() const;
    // Waits until the host has sent at least `count` requests; false on
    // time-out.
    bool waitForRequests(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // The requests sent after the first `skip`.
    std::vector<std::string> requestsAfter(std::size_t skip) const;

    std::filesystem::path profileFile() const { return directory_ / "msprofile.xml"; }

private:
    std::vector<std::pair<std::string, std::string>> environment() const;
    ChildProcess::Options optionsWritingTo(const std::string& outputName) const;

    std::filesystem::path directory_;
    ChildProcess process_;
};

// What every connection to a factory-fresh simulated mouse reads first.
extern const std::vector<std::string> kConnectionRead;
