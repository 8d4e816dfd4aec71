#include "FakeUhidKernel.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::size_t kRuntSize = 2;

}  // namespace

FakeUhidKernel::FakeUhidKernel()
{
    // Writing to a hung-up pair must fail with EPIPE, not end the test program.
    std::signal(SIGPIPE, SIG_IGN);
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) == 0) {
        kernelEnd_ = ends[0];
        deviceEnd_ = ends[1];
    }
}

FakeUhidKernel::~FakeUhidKernel()
{
    hangUp();
    if (deviceEnd_ >= 0)
        ::close(deviceEnd_);
}

int FakeUhidKernel::takeDeviceEnd()
{
    const int end = deviceEnd_;
    deviceEnd_ = -1;
    return end;
}

std::optional<uhid_event> FakeUhidKernel::nextRequest(int timeoutMs)
{
    pollfd waitSet{kernelEnd_, POLLIN, 0};
    if (kernelEnd_ < 0 || ::poll(&waitSet, 1, timeoutMs) != 1 || (waitSet.revents & POLLIN) == 0)
        return std::nullopt;
    auto event = makeUhidEvent(0);
    const ssize_t received = ::recv(kernelEnd_, event.get(), sizeof *event, MSG_DONTWAIT);
    if (received != static_cast<ssize_t>(sizeof *event))
        return std::nullopt;
    return *event;
}

bool FakeUhidKernel::sendEvent(const uhid_event& event)
{
    return ::send(kernelEnd_, &event, sizeof event, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof event);
}

bool FakeUhidKernel::sendRunt()
{
    const auto event = makeUhidEvent(UHID_OUTPUT);
    return ::send(kernelEnd_, event.get(), kRuntSize, MSG_NOSIGNAL) == static_cast<ssize_t>(kRuntSize);
}

void FakeUhidKernel::hangUp()
{
    if (kernelEnd_ >= 0)
        ::close(kernelEnd_);
    kernelEnd_ = -1;
}

std::unique_ptr<uhid_event> makeUhidEvent(unsigned type)
{
    auto event = std::make_unique<uhid_event>();
    event->type = type;
    return event;
}
