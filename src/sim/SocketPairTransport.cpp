#include "sim/SocketPairTransport.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <mutex>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Room for a datagram larger than any valid transfer, so that one is seen whole
// (and rejected) rather than truncated to a valid size.
constexpr std::size_t kReceiveBufferSize = 4096;

// A host writing to a device that went away must get EPIPE, not a fatal
// signal: a hidraw node gives ENODEV there, never a signal.
void ignoreBrokenPipeSignals()
{
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGPIPE, SIG_IGN); });
}

} // namespace

SocketPairTransport::~SocketPairTransport()
{
    detach();
}

int SocketPairTransport::openHostEnd()
{
    ignoreBrokenPipeSignals();
    std::lock_guard lock(mutex_);
    if (!attached_) {
        errno = ENODEV;
        return -1;
    }
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) != 0)
        return -1;
    deviceEnds_.push_back(ends[0]);
    return ends[1];
}

void SocketPairTransport::attach()
{
    std::lock_guard lock(mutex_);
    attached_ = true;
}

void SocketPairTransport::detach()
{
    std::lock_guard lock(mutex_);
    attached_ = false;
    for (const int deviceEnd : deviceEnds_)
        ::close(deviceEnd);
    deviceEnds_.clear();
}

void SocketPairTransport::appendWaitDescriptors(std::vector<int>& descriptors)
{
    std::lock_guard lock(mutex_);
    descriptors.insert(descriptors.end(), deviceEnds_.begin(), deviceEnds_.end());
}

std::vector<MouseReport> SocketPairTransport::receive(int descriptor)
{
    std::vector<MouseReport> reports;
    std::lock_guard lock(mutex_);
    if (std::find(deviceEnds_.begin(), deviceEnds_.end(), descriptor) == deviceEnds_.end())
        return reports;
    std::array<std::uint8_t, kReceiveBufferSize> buffer;
    for (;;) {
        const ssize_t length = ::recv(descriptor, buffer.data(), buffer.size(), MSG_DONTWAIT | MSG_TRUNC);
        if (length < 0 && errno == EINTR)
            continue;
        if (length < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return reports;
        if (length <= 0) {
            // The host closed its end (end of stream) or the socket failed.
            closeConnectionLocked(descriptor);
            return reports;
        }
        // MSG_TRUNC gives the datagram's real length, so an oversized one is
        // seen as such and rejected.
        const auto size = std::min(static_cast<std::size_t>(length), buffer.size());
        if (const auto report = reportFromOutputTransfer(std::span(buffer.data(), size)))
            reports.push_back(*report);
    }
}

void SocketPairTransport::send(const MouseReport& report)
{
    std::lock_guard lock(mutex_);
    std::vector<int> gone;
    for (const int deviceEnd : deviceEnds_) {
        ssize_t sent;
        do
            sent = ::send(deviceEnd, report.data(), report.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        while (sent < 0 && errno == EINTR);
        // A full queue drops the report, as a reader's full hidraw buffer does.
        if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            gone.push_back(deviceEnd);
    }
    for (const int deviceEnd : gone)
        closeConnectionLocked(deviceEnd);
}

std::size_t SocketPairTransport::openConnectionCount() const
{
    std::lock_guard lock(mutex_);
    return deviceEnds_.size();
}

void SocketPairTransport::closeConnectionLocked(int deviceEnd)
{
    deviceEnds_.erase(std::remove(deviceEnds_.begin(), deviceEnds_.end(), deviceEnd), deviceEnds_.end());
    ::close(deviceEnd);
}
