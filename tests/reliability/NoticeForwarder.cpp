#include "NoticeForwarder.h"

#include "shape/ShapeRegistry.h"

#include <filesystem>
#include <stdexcept>
#include <thread>

NoticeForwarder::NoticeForwarder(logictest::LogicHarness& harness)
    : harness_(harness), notices_(harness.backend().openNoticeSource())
{
    if (notices_ == nullptr)
        throw std::runtime_error("the simulated backend gave no notice source");
}

std::size_t NoticeForwarder::forwardPending()
{
    std::size_t forwarded = 0;
    while (const std::optional<HidNotice> notice = notices_->nextNotice()) {
        harness_.logic().onDeviceChange(notice->arrived, notice->path);
        ++forwarded;
    }
    return forwarded;
}

bool NoticeForwarder::forwardUntilQuiet(std::chrono::milliseconds quiet, std::chrono::milliseconds limit)
{
    using Clock = std::chrono::steady_clock;
    constexpr auto kPollStep = std::chrono::milliseconds(1);
    const Clock::time_point deadline = Clock::now() + limit;
    std::size_t wireSeen = harness_.mouse().wireLog().records().size();
    Clock::time_point quietSince = Clock::now();
    while (Clock::now() - quietSince < quiet) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(kPollStep);
        const std::size_t wireNow = harness_.mouse().wireLog().records().size();
        if (forwardPending() != 0 || ShapeRegistry::workerRunning() || wireNow != wireSeen) {
            wireSeen = wireNow;
            quietSince = Clock::now();
        }
    }
    return true;
}

std::size_t openDescriptorCount()
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}
