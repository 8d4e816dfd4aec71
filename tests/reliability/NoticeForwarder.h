#pragma once

#include "LogicHarness.h"

#include "hid/HidNoticeSource.h"

#include <chrono>
#include <cstddef>
#include <memory>

// Stands in for the main window: takes the backend's arrival and removal
// notices and hands each to the device logic, on the calling thread.
class NoticeForwarder {
public:
    explicit NoticeForwarder(logictest::LogicHarness& harness);

    // Forwards every notice pending now; returns how many there were.
    std::size_t forwardPending();

    // Forwards notices until the worker is idle, no notice came and the wire
    // log did not grow for `quiet`. False when that took longer than `limit`.
    bool forwardUntilQuiet(std::chrono::milliseconds quiet, std::chrono::milliseconds limit);

private:
    logictest::LogicHarness& harness_;
    std::unique_ptr<HidNoticeSource> notices_;
};

// Descriptors this process holds open now.
std::size_t openDescriptorCount();
