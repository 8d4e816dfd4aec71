#include "hid/HidBackend.h"

#include "hid/linux/LinuxHidBackend.h"

#include <atomic>

namespace {

constexpr const char* kProductionSysfsRoot = "/sys";

std::atomic<HidBackend*> installedBackend{nullptr};

HidBackend& linuxBackend()
{
    static LinuxHidBackend backend(kProductionSysfsRoot);
    return backend;
}

}  // namespace

HidBackend& activeHidBackend()
{
    HidBackend* backend = installedBackend.load(std::memory_order_acquire);
    return backend != nullptr ? *backend : linuxBackend();
}

void setHidBackend(HidBackend* backend)
{
    installedBackend.store(backend, std::memory_order_release);
}
