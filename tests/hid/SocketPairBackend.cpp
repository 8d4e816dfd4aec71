#include "SocketPairBackend.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

SocketPairBackend::SocketPairBackend(std::vector<Interface> interfaces) : interfaces_(std::move(interfaces)) {}

SocketPairBackend::~SocketPairBackend()
{
    for (int fd : peers_)
        if (fd >= 0)
            ::close(fd);
}

void SocketPairBackend::setOpenFails(bool fails)
{
    std::lock_guard lock(mutex_);
    openFails_ = fails;
}

std::vector<std::wstring> SocketPairBackend::listInterfacePaths()
{
    std::lock_guard lock(mutex_);
    std::vector<std::wstring> paths;
    for (const auto& interface : interfaces_)
        paths.push_back(interface.path);
    return paths;
}

HidInterfaceQuery SocketPairBackend::queryInterface(const std::wstring& path)
{
    std::lock_guard lock(mutex_);
    for (const auto& interface : interfaces_)
        if (interface.path == path)
            return HidInterfaceQuery{kQueryHandle, interface.details};
    return {};
}

int SocketPairBackend::openNode(const std::string& node, HidNodeAccess access)
{
    std::lock_guard lock(mutex_);
    if (openFails_) {
        errno = ENOENT;
        return -1;
    }
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) != 0)
        return -1;
    peers_.push_back(ends[1]);
    openedNodes_.push_back(node);
    openedAccess_.push_back(access);
    return ends[0];
}

int SocketPairBackend::getFeatureReport(int, uint8_t* buffer, size_t length)
{
    std::lock_guard lock(mutex_);
    featureRequests_.emplace_back(buffer, buffer + length);
    const size_t count = std::min(length, featureAnswer_.size());
    std::copy_n(featureAnswer_.begin(), count, buffer);
    return static_cast<int>(count);
}

int SocketPairBackend::setFeatureReport(int, const uint8_t* buffer, size_t length)
{
    std::lock_guard lock(mutex_);
    featureRequests_.emplace_back(buffer, buffer + length);
    return static_cast<int>(length);
}

std::unique_ptr<HidNoticeSource> SocketPairBackend::openNoticeSource()
{
    return nullptr;
}

int SocketPairBackend::peer(size_t index) const
{
    std::lock_guard lock(mutex_);
    return index < peers_.size() ? peers_[index] : -1;
}

void SocketPairBackend::closePeer(size_t index)
{
    std::lock_guard lock(mutex_);
    if (index < peers_.size() && peers_[index] >= 0) {
        ::close(peers_[index]);
        peers_[index] = -1;
    }
}

std::vector<std::string> SocketPairBackend::openedNodes() const
{
    std::lock_guard lock(mutex_);
    return openedNodes_;
}

std::vector<HidNodeAccess> SocketPairBackend::openedAccess() const
{
    std::lock_guard lock(mutex_);
    return openedAccess_;
}

std::vector<std::vector<uint8_t>> SocketPairBackend::featureRequests() const
{
    std::lock_guard lock(mutex_);
    return featureRequests_;
}

void SocketPairBackend::setFeatureAnswer(std::vector<uint8_t> answer)
{
    std::lock_guard lock(mutex_);
    featureAnswer_ = std::move(answer);
}

std::vector<uint8_t> receivePacket(int peer, int timeoutMs)
{
    pollfd fd{peer, POLLIN, 0};
    if (::poll(&fd, 1, timeoutMs) != 1)
        return {};
    std::vector<uint8_t> bytes(4096);
    const ssize_t received = ::recv(peer, bytes.data(), bytes.size(), 0);
    bytes.resize(received > 0 ? static_cast<size_t>(received) : 0);
    return bytes;
}

bool sendPacket(int peer, const std::vector<uint8_t>& bytes)
{
    return ::send(peer, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

bool peerSeesHangUp(int peer, int timeoutMs)
{
    pollfd fd{peer, POLLIN, 0};
    if (::poll(&fd, 1, timeoutMs) != 1)
        return false;
    uint8_t byte = 0;
    return (fd.revents & POLLHUP) != 0 && ::recv(peer, &byte, sizeof byte, MSG_DONTWAIT) == 0;
}
