#pragma once

#include "sim/FirmwareTransport.h"

#include <mutex>
#include <vector>

// Reports over SOCK_SEQPACKET socket pairs, one per open of the device, one
// report per datagram: the host writes the 65-byte transfer (report-ID byte 0
// first) and reads the 64 bytes of an input report, as a hidraw node of a
// device without report IDs gives them. Every input report goes to every open
// descriptor, as hidraw delivers it to every reader.
class SocketPairTransport final : public FirmwareTransport {
public:
    SocketPairTransport() = default;
    ~SocketPairTransport() override;
    SocketPairTransport(const SocketPairTransport&) = delete;
    SocketPairTransport& operator=(const SocketPairTransport&) = delete;

    // A new socket pair's host end (close-on-exec, non-blocking).
    int openHostEnd() override;
    void attach() override;
    void detach() override;
    void appendWaitDescriptors(std::vector<int>& descriptors) override;
    std::vector<MouseReport> receive(int descriptor) override;
    void send(const MouseReport& report) override;
    // Socket pairs whose host end has not been seen closed yet.
    std::size_t openConnectionCount() const override;

private:
    void closeConnectionLocked(int deviceEnd);

    mutable std::mutex mutex_;
    bool attached_ = false;
    std::vector<int> deviceEnds_;
};
