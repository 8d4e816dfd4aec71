#pragma once

#include "ReportHex.h"
#include "config/DeviceConfig.h"
#include "mouse/MouseLogic.h"
#include "shape/Channels.h"
#include "sim/SimulatedHidBackend.h"
#include "sim/WireLog.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace logictest {

using namespace std::chrono_literals;

// The simulated mouse the harness plugs in, and the configuration that names it.
inline constexpr SimulatedMouseIdentity kMouseIdentity{0x1A2B, 0x3C4D, 1, -1, 0x0100, 0x0105};
inline constexpr UsbInfo kConfiguredMouse{0x1A2B, 0x3C4D, 1, -1};

// Records the values a callback saw, for the members whose notifications matter.
template <class T>
class ValueRecorder {
public:
    void onChange(int, const T* data, uint32_t length, uint32_t, uint32_t index, uint32_t, int)
    {
        std::lock_guard lock(mutex_);
        values_.push_back(data != nullptr && index < length ? data[index] : T{});
    }

    std::vector<T> values() const
    {
        std::lock_guard lock(mutex_);
        return values_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<T> values_;
};

// The members the settings page holds, plus the main window's connection
// state and version text: everything a front end sees of the device logic.
struct PageMembers {
    ButtonAssignmentShape buttonAssignment;
    StatusBytesShape statusBytes;
    ModeShape mode;
    LightEffectIndexShape effectIndex;
    DpiStageShape dpiStage;
    LightShape light;
    DpiShape dpi;
    DpiBrightnessShape dpiBrightness;
    FactoryRestoreShape factoryRestore;
    ConnectionStateShape connectionState;
    VersionTextShape versionText;
};

// A simulated mouse behind the HID layer, the loaded configuration, the
// page's members and the device logic, built in the application's order.
// Members of the page are written on the test thread only while the data
// model is idle (settle() first), as the page writes them on its own thread.
class LogicHarness {
public:
    explicit LogicHarness(const UsbInfo& configured = kConfiguredMouse,
                          const SimulatedMouseIdentity& identity = kMouseIdentity);
    ~LogicHarness();
    LogicHarness(const LogicHarness&) = delete;
    LogicHarness& operator=(const LogicHarness&) = delete;

    SimulatedMouse& mouse() { return *mouse_; }
    SimulatedHidBackend& backend() { return backend_; }
    PageMembers& page() { return *page_; }
    MouseLogic& logic() { return *logic_; }
    std::wstring mousePath() const { return backend_.pathOf(*mouse_); }

    // The main window's start-up call, then settle().
    void startUp();
    // Waits until the worker has handled every notification and the wire log
    // has stopped growing (a last request without reply may still be on its way).
    void settle();
    // Destroys the device logic now (the page's members stay).
    void destroyLogic();

    std::vector<WireRecord> wire() { return mouse_->wireLog().records(); }
    void clearWire() { mouse_->wireLog().clear(); }

private:
    SimulatedHidBackend backend_;
    SimulatedMouse* mouse_;
    DeviceConfig config_;
    std::unique_ptr<PageMembers> page_;
    std::unique_ptr<MouseLogic> logic_;
};

// Waits until no notification worker runs; false after `limit`.
bool waitForWorkerIdle(std::chrono::milliseconds limit = 10s);

// Each hand-written report in the form of significantHex.
std::vector<std::string> normalisedRequests(const std::vector<std::string>& hex);

// The host's requests, in order, as significant hex.
std::vector<std::string> hostRequests(const std::vector<WireRecord>& wire);
// Records of one direction, in order.
std::vector<WireRecord> recordsFrom(const std::vector<WireRecord>& wire, WireDirection direction);
// Milliseconds between host requests `from` and `to` (indices among host requests).
double requestGapMs(const std::vector<WireRecord>& wire, std::size_t from, std::size_t to);
// The least gap that shows a pause of `pauseMs` between two requests: the wire
// log stamps a request when the firmware thread takes it, which can be a
// little later than it was sent (several milliseconds on a busy machine);
// without the pause the gap would be about one reply latency.
constexpr double leastGapMs(double pauseMs)
{
    return pauseMs - 10.0;
}

}  // namespace logictest
