#pragma once

#include <chrono>
#include <functional>
#include <thread>

// Polls `condition` until it holds or `timeout` passes; `between` runs
// between two tries (by default a 5 ms pause). True when the condition held.
inline bool pollUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
                      const std::function<void()>& between = {})
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return condition();
        }
        if (between) {
            between();
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    return true;
}
