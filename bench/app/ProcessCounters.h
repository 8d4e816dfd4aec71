#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>

// What /proc tells about a running process.
struct MemoryUse {
    std::int64_t residentKiB = 0;      // VmRSS
    std::int64_t proportionalKiB = 0;  // Pss: shared pages split among their users
};

std::optional<MemoryUse> memoryUse(pid_t pid);

// Context switches of every thread the process has now (voluntary and
// involuntary), and how many threads that is: each switch of a sleeping
// thread is one wake-up.
struct SwitchCount {
    std::int64_t switches = 0;
    int threads = 0;
};

std::optional<SwitchCount> contextSwitches(pid_t pid);
