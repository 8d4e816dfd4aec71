#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <sys/types.h>

class HidBackend;

// An open device descriptor shared by the device and every transfer running on
// it. The descriptor closes when the last holder lets go, so closing the
// device never pulls it from under a transfer in flight; wakeTransfers() makes
// such transfers return at once instead.
class HidHandle {
public:
    // Takes ownership of fd. Returns null (and closes fd) when the wake-up
    // event cannot be created.
    static std::shared_ptr<HidHandle> adopt(int fd, HidBackend& backend, bool reportIdsUsed);

    ~HidHandle();
    HidHandle(const HidHandle&) = delete;
    HidHandle& operator=(const HidHandle&) = delete;

    int fd() const { return fd_; }
    // Polls readable once wakeTransfers() has been called, and stays so.
    int wakeFd() const { return wakeFd_; }
    HidBackend& backend() const { return backend_; }
    bool reportIdsUsed() const { return reportIdsUsed_; }

    // One write(2) of a report; on a socket (the simulated device) a peer
    // that went away gives EPIPE instead of raising SIGPIPE.
    ssize_t writeOnce(const uint8_t* buffer, size_t length) const;

    void wakeTransfers();

private:
    HidHandle(int fd, int wakeFd, HidBackend& backend, bool reportIdsUsed, bool isSocket);

    const int fd_;
    const int wakeFd_;
    HidBackend& backend_;
    const bool reportIdsUsed_;
    const bool isSocket_;
};
