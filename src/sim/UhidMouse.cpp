#include "sim/UhidMouse.h"

#include <cerrno>
#include <pthread.h>
#include <sched.h>

UhidMouse makeUhidMouse(const SimulatedMouseIdentity& identity, const char* node)
{
    UhidMouse result;
    std::unique_ptr<UhidTransport> transport = UhidTransport::open(identity, node);
    if (!transport) {
        result.error = errno;
        return result;
    }
    // Threads take the scheduling of the thread that starts them: the calling
    // thread is real-time while it starts the mouse's device thread.
    const pthread_t self = pthread_self();
    int policy = SCHED_OTHER;
    sched_param saved{};
    sched_param realtime{};
    realtime.sched_priority = sched_get_priority_min(SCHED_FIFO);
    result.realtimeFirmware = pthread_getschedparam(self, &policy, &saved) == 0 &&
                              pthread_setschedparam(self, SCHED_FIFO, &realtime) == 0;
    result.transport = transport.get();
    result.mouse = std::make_unique<SimulatedMouse>(identity, std::move(transport));
    if (result.realtimeFirmware) {
        const int restoreError = pthread_setschedparam(self, policy, &saved);
        if (restoreError != 0)
            result.error = restoreError;
    }
    return result;
}
