#pragma once

#include "hid/HidBackend.h"
#include "sim/SimulatedMouse.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

// A HID backend whose only interfaces are simulated mice. Mouse N (numbered
// from 0 in the order they are added) is listed while plugged in as
//     \\?\hid#vid_xxxx&pid_xxxx&mi_XX#sim:N   (&colXX after mi_XX when the identity names a collection)
// with one vendor-defined collection of 64-byte input and output reports, and
// opening node "sim:N" gives a descriptor served by its firmware thread.
// Plugging and unplugging reach every notice source it has opened.
//
// Install it with setHidBackend(&backend) and remove it (setHidBackend(nullptr))
// before it is destroyed. Thread-safe.
class SimulatedHidBackend final : public HidBackend {
public:
    static constexpr std::uint16_t kUsagePage = 0xFF00;
    static constexpr std::uint16_t kUsage = 0x0001;

    SimulatedHidBackend() = default;
    ~SimulatedHidBackend() override;
    SimulatedHidBackend(const SimulatedHidBackend&) = delete;
    SimulatedHidBackend& operator=(const SimulatedHidBackend&) = delete;

    // Adds a mouse, plugged in; it lives as long as the backend. Its arrival
    // is announced to the notice sources already open.
    SimulatedMouse& addMouse(const SimulatedMouseIdentity& identity);
    // The device path mouse `mouse` is listed under while plugged in.
    std::wstring pathOf(const SimulatedMouse& mouse) const;

    std::vector<std::wstring> listInterfacePaths() override;
    HidInterfaceQuery queryInterface(const std::wstring& path) override;
    int openNode(const std::string& node, HidNodeAccess access) override;
    // The mouse has no feature reports: both fail with EPIPE, as a device that
    // stalls the request does.
    int getFeatureReport(int fd, uint8_t* buffer, size_t length) override;
    int setFeatureReport(int fd, const uint8_t* buffer, size_t length) override;
    std::unique_ptr<HidNoticeSource> openNoticeSource() override;

    struct NoticeQueue;

private:
    SimulatedMouse* mouseOfNode(const std::string& node) const;
    void publish(const HidNotice& notice);

    // Declared before the mice so that the mice (whose presence listeners
    // publish here) go first.
    std::mutex noticeMutex_;
    std::vector<std::weak_ptr<NoticeQueue>> noticeQueues_;

    mutable std::mutex miceMutex_;
    std::vector<std::unique_ptr<SimulatedMouse>> mice_;
};
