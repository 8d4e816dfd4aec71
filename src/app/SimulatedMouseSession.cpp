#include "app/SimulatedMouseSession.h"

#include "config/DeviceConfig.h"

#include <cstdlib>

SimulatedMouseIdentity simulatedIdentityFor(const UsbInfo& configured)
{
    SimulatedMouseIdentity identity;
    identity.vendorId = static_cast<std::uint16_t>(configured.vid);
    identity.productId = static_cast<std::uint16_t>(configured.pid);
    identity.interfaceNumber = configured.interface >= 0 ? configured.interface : 1;
    identity.collectionNumber = configured.subdevice > 0 ? configured.subdevice : -1;
    return identity;
}

namespace {

UsbInfo configuredDevice(const DeviceConfig& config)
{
    const UsbInfo* info = config.usbInfo.tryAt(-1);
    return info ? *info : UsbInfo{};
}

}  // namespace

SimulatedMouseSession::SimulatedMouseSession(const DeviceConfig& config)
    : mouse_(backend_.addMouse(simulatedIdentityFor(configuredDevice(config))))
{
    setHidBackend(&backend_);
    if (const char* fifo = std::getenv(kSimulationControlEnvironmentVariable); fifo != nullptr && fifo[0] != '\0') {
        control_ = SimulationControl::open(fifo, mouse_);
    }
}

SimulatedMouseSession::~SimulatedMouseSession()
{
    control_.reset();
    setHidBackend(nullptr);
}
