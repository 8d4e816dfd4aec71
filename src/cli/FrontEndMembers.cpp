#include "cli/FrontEndMembers.h"

#include "shape/ShapeRegistry.h"

bool waitForDeviceLogic(std::chrono::milliseconds limit)
{
    return ShapeRegistry::waitUntilIdle(limit);
}
