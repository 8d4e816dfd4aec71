#pragma once

#include "sim/FirmwareTransport.h"
#include "sim/MouseFirmware.h"
#include "sim/WireLog.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

struct SimulatedMouseIdentity {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    int interfaceNumber = 1;
    // 1-based number of the vendor collection among the interface's top-level
    // collections, or -1 when it is the only one (then paths carry no "&col").
    int collectionNumber = -1;
    std::uint16_t releaseNumber = 0x0100;
    std::uint16_t firmwareVersion = kDefaultFirmwareVersion;
};

// A simulated mouse: the firmware model on a thread of its own, behind a
// transport (socket pairs unless another is given), with knobs for tests.
// Created plugged in. Every public operation is thread-safe; the firmware
// thread and callers share the state under one lock.
class SimulatedMouse {
public:
    // Called with (true) on every arrival and (false) on every removal, with the
    // device's lock held, in the order they happen: it must not call back into
    // this device.
    using PresenceListener = std::function<void(bool present)>;

    static constexpr std::chrono::microseconds kDefaultReplyLatency{1000};
    static constexpr std::chrono::milliseconds kDefaultRestartDelay{100};
    static constexpr std::chrono::milliseconds kDefaultRestartPause{300};

    // Opens the wire-log file named by MOUSECFG_WIRE_LOG when it is set.
    explicit SimulatedMouse(const SimulatedMouseIdentity& identity,
                            std::unique_ptr<FirmwareTransport> transport = nullptr);
    ~SimulatedMouse();
    SimulatedMouse(const SimulatedMouse&) = delete;
    SimulatedMouse& operator=(const SimulatedMouse&) = delete;

    const SimulatedMouseIdentity& identity() const { return identity_; }

    // A host descriptor on the device (see FirmwareTransport::openHostEnd).
    int open();
    std::size_t openConnectionCount() const;

    // Presence. Unplugging hangs up every open descriptor, drops replies not
    // yet sent and cancels a pending comeback; the firmware state is kept.
    void plug();
    void unplug();
    bool isPlugged() const;
    void setPresenceListener(PresenceListener listener);

    // Delay before each reply report goes out, counted from the request for
    // the first reply and from the previous reply for the others.
    void setReplyLatency(std::chrono::microseconds latency);
    // A silent mouse takes every request (and applies it) but never answers.
    void setSilent(bool silent);
    // After a factory reset the mouse stays on the bus for `delay`, then is
    // off it for `pause` before it comes back.
    void setRestartTiming(std::chrono::milliseconds delay, std::chrono::milliseconds pause);

    // Transfers (reports received or sent) since the last reset point.
    std::uint64_t transferCount() const;
    void resetTransferCount();
    // Unplugs the mouse at transfer `index` (counted like transferCount): that
    // report is neither taken nor sent. Fires once.
    void unplugAtTransfer(std::uint64_t index);

    FirmwareState firmwareState() const;
    // False, changing nothing, for a state that is not valid.
    bool setFirmwareState(const FirmwareState& state);

    WireLog& wireLog() { return wireLog_; }
    bool setWireLogFile(const std::string& path) { return wireLog_.openFile(path); }

private:
    using Clock = std::chrono::steady_clock;

    struct PendingReply {
        Clock::time_point due;
        MouseReport report;
    };

    void run();
    void wake();
    void handleRequestLocked(const MouseReport& request);
    void sendDueRepliesLocked();
    void runTimersLocked(Clock::time_point now);
    std::optional<Clock::time_point> nextDeadlineLocked() const;
    // True when this transfer is the one to unplug at (the mouse is then unplugged).
    bool unplugsAtThisTransferLocked();
    void plugLocked();
    void unplugLocked();

    const SimulatedMouseIdentity identity_;
    WireLog wireLog_;

    mutable std::mutex mutex_;
    std::unique_ptr<FirmwareTransport> transport_;
    MouseFirmware firmware_;
    PresenceListener presenceListener_;
    bool plugged_ = false;
    bool silent_ = false;
    std::chrono::microseconds replyLatency_ = kDefaultReplyLatency;
    std::chrono::milliseconds restartDelay_ = kDefaultRestartDelay;
    std::chrono::milliseconds restartPause_ = kDefaultRestartPause;
    std::deque<PendingReply> pendingReplies_;
    std::optional<Clock::time_point> dropAt_;
    std::optional<Clock::time_point> comebackAt_;
    std::uint64_t transferCount_ = 0;
    std::optional<std::uint64_t> unplugAtTransfer_;
    bool stopping_ = false;

    int wakeDescriptor_ = -1;
    std::thread thread_;
};
