#pragma once

#include "ReportHex.h"
#include "UiThread.h"

#include "config/DeviceConfig.h"
#include "mouse/MouseLogic.h"
#include "shape/Channels.h"
#include "sim/SimulatedHidBackend.h"
#include "sim/SimulatedMouse.h"
#include "sim/UhidMouse.h"
#include "sim/WireLog.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace guest {

using namespace std::chrono_literals;

// The mouse of the tests and the configuration that names it.
inline constexpr SimulatedMouseIdentity kMouseIdentity{0x1A2B, 0x3C4D, 1, -1, 0x0100, 0x0105};
inline constexpr UsbInfo kConfiguredMouse{0x1A2B, 0x3C4D, 1, -1};

// How the simulated mouse reaches the host.
enum class MouseBus {
    uhid,        // through the kernel: uhid, HID core, hidraw, sysfs and uevents
    socketPair,  // the simulated HID backend's socket pairs
};

const char* busName(MouseBus bus);

// The simulated mouse on the kernel's uhid interface for one test. Not ready
// (with a test failure) when /dev/uhid cannot be used; on destruction the
// test fails if the kernel refused any request of the transport.
class KernelMouse {
public:
    explicit KernelMouse(const SimulatedMouseIdentity& identity = kMouseIdentity);
    ~KernelMouse();
    KernelMouse(const KernelMouse&) = delete;
    KernelMouse& operator=(const KernelMouse&) = delete;

    bool ready() const { return made_.mouse != nullptr; }
    SimulatedMouse& operator*() { return *made_.mouse; }
    SimulatedMouse* operator->() { return made_.mouse.get(); }

private:
    UhidMouse made_;
};

// Paths the enumeration lists for vendor and product now.
std::vector<std::wstring> listedPaths(uint16_t vendorId, uint16_t productId);
// Waits until the enumeration lists `count` interfaces of vendor and product;
// false after `limit`.
bool waitForListedCount(uint16_t vendorId, uint16_t productId, std::size_t count,
                        std::chrono::milliseconds limit = 5s);

// The members the settings page and the main window hold.
struct PageMembers {
    ButtonAssignmentShape buttonAssignment;
    StatusBytesShape statusBytes;
    ModeShape mode;
    LightEffectIndexShape effectIndex;
    DpiStageShape dpiStage;
    LightShape light;
    DpiShape dpi;
    FactoryRestoreShape factoryRestore;
    ConnectionStateShape connectionState;
    VersionTextShape versionText;
};

// The device logic in the application's arrangement: the configuration, the
// page's members, the logic, and a UI thread that forwards every HID notice
// to onDeviceChange, with the mouse on the chosen bus. The mouse is plugged in
// and listed before the UI thread starts watching.
class GuestHarness {
public:
    explicit GuestHarness(MouseBus bus);
    ~GuestHarness();
    GuestHarness(const GuestHarness&) = delete;
    GuestHarness& operator=(const GuestHarness&) = delete;

    bool ready() const { return mouse_ != nullptr; }
    SimulatedMouse& mouse() { return *mouse_; }
    PageMembers& page() { return *page_; }
    UiThread& ui() { return *ui_; }

    // The main window's start-up call, on the UI thread; then settle().
    void startUp();
    // Waits until the worker is idle and the wire has been quiet a while.
    void settle();
    // Waits until the page's connection state is `state` and everything settled.
    bool waitForConnectionState(int state, std::chrono::milliseconds limit = 10s);

    std::vector<WireRecord> wire() { return mouse_->wireLog().records(); }
    void clearWire() { mouse_->wireLog().clear(); }

private:
    const MouseBus bus_;
    SimulatedHidBackend simulatedBackend_;
    std::unique_ptr<KernelMouse> kernelMouse_;
    SimulatedMouse* mouse_ = nullptr;
    DeviceConfig config_;
    std::unique_ptr<PageMembers> page_;
    std::unique_ptr<MouseLogic> logic_;
    std::unique_ptr<UiThread> ui_;
};

// Waits until no notification worker runs; false after `limit`.
bool waitForWorkerIdle(std::chrono::milliseconds limit = 10s);

// The host's requests in order, as significant hex.
std::vector<std::string> hostRequests(const std::vector<WireRecord>& wire);
std::vector<WireRecord> recordsFrom(const std::vector<WireRecord>& wire, WireDirection direction);

// Prints a measured figure in a form the run's log can be searched for.
void reportFigure(const std::string& what, double value, const char* unit);

}  // namespace guest
