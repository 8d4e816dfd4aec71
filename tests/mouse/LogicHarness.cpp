#include "LogicHarness.h"

#include "hid/HidBackend.h"
#include "shape/ShapeRegistry.h"

#include <cstdio>
#include <sstream>
#include <thread>

namespace logictest {

namespace {

constexpr auto kQuietTime = 20ms;
constexpr auto kPollStep = 1ms;

}  // namespace

LogicHarness::LogicHarness(const UsbInfo& configured, const SimulatedMouseIdentity& identity)
{
    setHidBackend(&backend_);
    mouse_ = &backend_.addMouse(identity);
    config_.usbInfo.current() = configured;
    page_ = std::make_unique<PageMembers>();
    logic_ = std::make_unique<MouseLogic>();
}

LogicHarness::~LogicHarness()
{
    settle();
    logic_.reset();
    waitForWorkerIdle();
    page_.reset();
    setHidBackend(nullptr);
}

void LogicHarness::startUp()
{
    logic_->onDeviceChange(false, L"");
    settle();
}

void LogicHarness::settle()
{
    waitForWorkerIdle();
    std::size_t seen = mouse_->wireLog().records().size();
    auto quietSince = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - quietSince < kQuietTime) {
        std::this_thread::sleep_for(kPollStep);
        const std::size_t now = mouse_->wireLog().records().size();
        if (now != seen) {
            seen = now;
            quietSince = std::chrono::steady_clock::now();
        }
    }
}

void LogicHarness::destroyLogic()
{
    logic_.reset();
}

bool waitForWorkerIdle(std::chrono::milliseconds limit)
{
    return ShapeRegistry::waitUntilIdle(limit);
}

std::vector<std::string> normalisedRequests(const std::vector<std::string>& hex)
{
    std::vector<std::string> result;
    for (const std::string& report : hex) {
        result.push_back(normalisedHex(report));
    }
    return result;
}

std::vector<WireRecord> recordsFrom(const std::vector<WireRecord>& wire, WireDirection direction)
{
    std::vector<WireRecord> result;
    for (const WireRecord& record : wire) {
        if (record.direction == direction) {
            result.push_back(record);
        }
    }
    return result;
}

std::vector<std::string> hostRequests(const std::vector<WireRecord>& wire)
{
    std::vector<std::string> result;
    for (const WireRecord& record : recordsFrom(wire, WireDirection::HostToDevice)) {
        result.push_back(significantHex(record.bytes));
    }
    return result;
}

double requestGapMs(const std::vector<WireRecord>& wire, std::size_t from, std::size_t to)
{
    const std::vector<WireRecord> requests = recordsFrom(wire, WireDirection::HostToDevice);
    if (from >= requests.size() || to >= requests.size()) {
        return -1;
    }
    return requests[to].milliseconds - requests[from].milliseconds;
}

}  // namespace logictest
