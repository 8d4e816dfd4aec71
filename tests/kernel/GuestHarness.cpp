#include "GuestHarness.h"

#include "hid/HidBackend.h"
#include "hid/HidDiscovery.h"
#include "shape/ShapeRegistry.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

namespace guest {

namespace {

constexpr auto kQuietTime = 30ms;
constexpr auto kPollStep = 1ms;

}  // namespace

const char* busName(MouseBus bus)
{
    return bus == MouseBus::uhid ? "uhid" : "socket pair";
}

KernelMouse::KernelMouse(const SimulatedMouseIdentity& identity) : made_(makeUhidMouse(identity))
{
    if (!made_.mouse) {
        ADD_FAILURE() << "cannot open " << kUhidNode << ": " << std::strerror(made_.error);
        return;
    }
    EXPECT_TRUE(made_.realtimeFirmware) << "the firmware may fall behind a burst of writes";
    EXPECT_EQ(made_.error, 0);
}

KernelMouse::~KernelMouse()
{
    if (made_.transport != nullptr) {
        EXPECT_EQ(made_.transport->lastError(), 0) << std::strerror(made_.transport->lastError());
    }
}

std::vector<std::wstring> listedPaths(uint16_t vendorId, uint16_t productId)
{
    std::vector<std::wstring> paths;
    const int32_t product = productId;
    HidInterfaceInfo* list = enumerateHidInterfaces(vendorId, 1, &product, -1, -1);
    for (const HidInterfaceInfo* info = list; info != nullptr; info = info->next)
        paths.push_back(info->devicePath);
    freeHidInterfaceList(list);
    return paths;
}

bool waitForListedCount(uint16_t vendorId, uint16_t productId, std::size_t count, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (listedPaths(vendorId, productId).size() != count) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

GuestHarness::GuestHarness(MouseBus bus) : bus_(bus)
{
    if (bus_ == MouseBus::uhid) {
        kernelMouse_ = std::make_unique<KernelMouse>();
        mouse_ = kernelMouse_->ready() ? &**kernelMouse_ : nullptr;
        // Both interfaces: the pointer and the vendor collection.
        if (mouse_ != nullptr && !waitForListedCount(kMouseIdentity.vendorId, kMouseIdentity.productId, 2)) {
            ADD_FAILURE() << "the kernel did not list the mouse's interfaces";
            mouse_ = nullptr;
        }
    } else {
        setHidBackend(&simulatedBackend_);
        mouse_ = &simulatedBackend_.addMouse(kMouseIdentity);
    }
    config_.usbInfo.current() = kConfiguredMouse;
    page_ = std::make_unique<PageMembers>();
    logic_ = std::make_unique<MouseLogic>();
    std::unique_ptr<HidNoticeSource> source = registerHidNotifications();
    if (!source)
        ADD_FAILURE() << "no notice source";
    ui_ = std::make_unique<UiThread>(std::move(source), [this](const HidNotice& notice) {
        logic_->onDeviceChange(notice.arrived, notice.path);
    });
}

GuestHarness::~GuestHarness()
{
    if (mouse_ != nullptr)
        settle();
    ui_.reset();
    logic_.reset();
    waitForWorkerIdle();
    page_.reset();
    kernelMouse_.reset();
    if (bus_ == MouseBus::socketPair)
        setHidBackend(nullptr);
}

void GuestHarness::startUp()
{
    ui_->run([this] { logic_->onDeviceChange(false, L""); });
    settle();
}

void GuestHarness::settle()
{
    waitForWorkerIdle();
    std::size_t seen = mouse_->wireLog().records().size();
    auto quietSince = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - quietSince < kQuietTime) {
        std::this_thread::sleep_for(kPollStep);
        const std::size_t now = mouse_->wireLog().records().size();
        if (now != seen || ShapeRegistry::workerRunning()) {
            seen = now;
            quietSince = std::chrono::steady_clock::now();
        }
    }
}

bool GuestHarness::waitForConnectionState(int state, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        settle();
        if (page_->connectionState.current() == state)
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(5ms);
    }
}

bool waitForWorkerIdle(std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (ShapeRegistry::workerRunning()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(kPollStep);
    }
    return true;
}

std::vector<WireRecord> recordsFrom(const std::vector<WireRecord>& wire, WireDirection direction)
{
    std::vector<WireRecord> result;
    for (const WireRecord& record : wire)
        if (record.direction == direction)
            result.push_back(record);
    return result;
}

std::vector<std::string> hostRequests(const std::vector<WireRecord>& wire)
{
    std::vector<std::string> result;
    for (const WireRecord& record : recordsFrom(wire, WireDirection::HostToDevice))
        result.push_back(significantHex(record.bytes));
    return result;
}

void reportFigure(const std::string& what, double value, const char* unit)
{
    std::printf("figure: %s: %.3f %s\n", what.c_str(), value, unit);
    std::fflush(stdout);
}

}  // namespace guest
