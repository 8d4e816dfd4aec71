#pragma once

#include "hid/HidBackend.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// A backend whose nodes are SOCK_SEQPACKET socket pairs: HidDevice gets one
// end, the test plays the device on the other ("peer"). Each packet is one
// report, as on a hidraw node.
class SocketPairBackend : public HidBackend {
public:
    struct Interface {
        std::wstring path;
        HidInterfaceDetails details;
    };

    // Handle value the attribute query reports.
    static constexpr int kQueryHandle = 0x42;

    explicit SocketPairBackend(std::vector<Interface> interfaces = {});
    ~SocketPairBackend() override;

    void setOpenFails(bool fails);

    std::vector<std::wstring> listInterfacePaths() override;
    HidInterfaceQuery queryInterface(const std::wstring& path) override;
    int openNode(const std::string& node, HidNodeAccess access) override;
    int getFeatureReport(int fd, uint8_t* buffer, size_t length) override;
    int setFeatureReport(int fd, const uint8_t* buffer, size_t length) override;
    std::unique_ptr<HidNoticeSource> openNoticeSource() override;

    // The device side of the n-th successful open (0-based).
    int peer(size_t index) const;
    // Closes the device side of the n-th open, as an unplug would.
    void closePeer(size_t index);
    std::vector<std::string> openedNodes() const;
    std::vector<HidNodeAccess> openedAccess() const;

    // Feature reports seen by the feature calls, and the answer to get.
    std::vector<std::vector<uint8_t>> featureRequests() const;
    void setFeatureAnswer(std::vector<uint8_t> answer);

private:
    mutable std::mutex mutex_;
    std::vector<Interface> interfaces_;
    bool openFails_ = false;
    std::vector<int> peers_;
    std::vector<std::string> openedNodes_;
    std::vector<HidNodeAccess> openedAccess_;
    std::vector<std::vector<uint8_t>> featureRequests_;
    std::vector<uint8_t> featureAnswer_;
};

// Device-side helpers on a peer socket.
std::vector<uint8_t> receivePacket(int peer, int timeoutMs);  // empty on time-out
bool sendPacket(int peer, const std::vector<uint8_t>& bytes);
// Whether the other end of the peer was closed (EOF waiting).
bool peerSeesHangUp(int peer, int timeoutMs);
