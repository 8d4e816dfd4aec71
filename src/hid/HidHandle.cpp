#include "hid/HidHandle.h"

#include <cstdint>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

std::shared_ptr<HidHandle> HidHandle::adopt(int fd, HidBackend& backend, bool reportIdsUsed)
{
    const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0) {
        ::close(fd);
        return nullptr;
    }
    struct stat status {};
    const bool isSocket = ::fstat(fd, &status) == 0 && S_ISSOCK(status.st_mode);
    return std::shared_ptr<HidHandle>(new HidHandle(fd, wakeFd, backend, reportIdsUsed, isSocket));
}

HidHandle::HidHandle(int fd, int wakeFd, HidBackend& backend, bool reportIdsUsed, bool isSocket)
    : fd_(fd), wakeFd_(wakeFd), backend_(backend), reportIdsUsed_(reportIdsUsed), isSocket_(isSocket)
{
}

ssize_t HidHandle::writeOnce(const uint8_t* buffer, size_t length) const
{
    if (isSocket_)
        return ::send(fd_, buffer, length, MSG_NOSIGNAL);
    return ::write(fd_, buffer, length);
}

HidHandle::~HidHandle()
{
    ::close(fd_);
    ::close(wakeFd_);
}

void HidHandle::wakeTransfers()
{
    const uint64_t increment = 1;
    // Only a counter at its maximum refuses an increment, and such a counter
    // polls readable already: either way waiting transfers wake up.
    const bool counted = ::write(wakeFd_, &increment, sizeof increment) == static_cast<ssize_t>(sizeof increment);
    static_cast<void>(counted);
}
