#include "cli/FrontEndMembers.h"

#include "shape/ShapeRegistry.h"

#include <thread>

bool waitForDeviceLogic(std::chrono::milliseconds limit)
{
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (ShapeRegistry::workerRunning()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}
