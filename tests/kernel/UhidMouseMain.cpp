// A simulated mouse on /dev/uhid that stays plugged in until SIGTERM or
// SIGINT, so that separate programs (mousectl) can be run against it in the
// guest. Its wire log goes where MOUSECFG_WIRE_LOG names.
//
//   uhid-mouse [VENDOR PRODUCT INTERFACE]      (ids in hexadecimal)

#include "sim/UhidMouse.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cerrno>

namespace {

constexpr SimulatedMouseIdentity kDefaultIdentity{0x1A2B, 0x3C4D, 1, -1, 0x0100, 0x0105};
constexpr int kUsageError = 2;

bool parseHex(const char* text, unsigned long limit, unsigned long& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtoul(text, &end, 16);
    return errno == 0 && end != text && *end == '\0' && value <= limit;
}

}  // namespace

int main(int argc, char** argv)
{
    SimulatedMouseIdentity identity = kDefaultIdentity;
    if (argc == 4) {
        unsigned long vendor = 0, product = 0, interfaceNumber = 0;
        if (!parseHex(argv[1], 0xFFFF, vendor) || !parseHex(argv[2], 0xFFFF, product) ||
            !parseHex(argv[3], 0xFF, interfaceNumber)) {
            std::fprintf(stderr, "uhid-mouse: ids are hexadecimal: VENDOR PRODUCT INTERFACE\n");
            return kUsageError;
        }
        identity.vendorId = static_cast<std::uint16_t>(vendor);
        identity.productId = static_cast<std::uint16_t>(product);
        identity.interfaceNumber = static_cast<int>(interfaceNumber);
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: uhid-mouse [VENDOR PRODUCT INTERFACE]\n");
        return kUsageError;
    }

    // The signals are taken synchronously below, so block them before any thread starts.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    if (pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr) != 0) {
        std::fprintf(stderr, "uhid-mouse: cannot block the stop signals\n");
        return EXIT_FAILURE;
    }

    const UhidMouse made = makeUhidMouse(identity);
    if (!made.mouse) {
        std::fprintf(stderr, "uhid-mouse: cannot use %s: %s\n", kUhidNode, std::strerror(made.error));
        return EXIT_FAILURE;
    }
    if (made.transport->lastError() != 0) {
        std::fprintf(stderr, "uhid-mouse: the kernel refused the device: %s\n",
                     std::strerror(made.transport->lastError()));
        return EXIT_FAILURE;
    }
    if (!made.realtimeFirmware)
        std::fprintf(stderr, "uhid-mouse: no real-time priority; a long burst of writes may lose reports\n");
    std::printf("uhid-mouse: %04x:%04x interface %d plugged in\n", identity.vendorId, identity.productId,
                identity.interfaceNumber);
    std::fflush(stdout);

    int received = 0;
    if (sigwait(&stopSignals, &received) != 0)
        return EXIT_FAILURE;
    std::printf("uhid-mouse: unplugged after %llu transfers\n",
                static_cast<unsigned long long>(made.mouse->transferCount()));
    return made.transport->lastError() == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
