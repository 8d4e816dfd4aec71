#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The kernel's node for devices made in user space.
inline constexpr const char* kUhidNode = "/dev/uhid";

// Bus number of a USB device (BUS_USB), as HID_ID shows it.
inline constexpr std::uint16_t kUhidBusUsb = 0x03;

// How a virtual HID device presents itself to the kernel.
struct UhidDeviceDescription {
    std::string name;  // HID_NAME, at most 127 bytes
    std::string phys;  // HID_PHYS, at most 63 bytes; ".../inputN" names the interface
    std::uint16_t bus = kUhidBusUsb;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint32_t version = 0;
    std::vector<std::uint8_t> reportDescriptor;  // 1 to 4096 bytes
};

enum class UhidEventType {
    started,    // a driver bound to the device
    stopped,    // the driver let it go
    opened,     // the first host opened it
    closed,     // the last host closed it
    output,     // an output report written by a host
    getReport,  // a host asks for a report (answer with answerGetReport)
    setReport,  // a host sends a feature report (answer with answerSetReport)
    other,      // anything else the kernel sends
};

struct UhidEvent {
    UhidEventType type = UhidEventType::other;
    // output and setReport: the bytes as the host wrote them; for an output
    // report that is the report-ID byte (0 without report ids), then the report.
    std::vector<std::uint8_t> data;
    // getReport and setReport: the number the answer has to carry.
    std::uint32_t requestId = 0;
    std::uint8_t reportNumber = 0;
};

// One virtual HID device on a uhid descriptor: creating it makes the kernel
// add a HID device (and its hidraw node), destroying it removes them again.
// Every request is one whole event written to the descriptor. Not
// thread-safe. Failures return false (or none) with errno set.
class UhidDevice {
public:
    // Opens the node close-on-exec and non-blocking; null with errno set.
    static std::unique_ptr<UhidDevice> open(const char* node = kUhidNode);

    // Takes ownership of a descriptor that speaks the uhid protocol.
    explicit UhidDevice(int descriptor);
    // Closing the descriptor destroys a device still created.
    ~UhidDevice();
    UhidDevice(const UhidDevice&) = delete;
    UhidDevice& operator=(const UhidDevice&) = delete;

    int descriptor() const { return descriptor_; }
    bool isCreated() const { return created_; }

    // EALREADY when created already; EINVAL for a description that does not fit.
    bool create(const UhidDeviceDescription& description);
    // Nothing to do (true) when not created.
    bool destroy();

    // One input report (with its report-ID byte first when the device numbers
    // its reports). ENODEV when not created; EINVAL when too long.
    bool sendInput(std::span<const std::uint8_t> report);

    // The next event the kernel has queued; none with errno EAGAIN when the
    // queue is empty.
    std::optional<UhidEvent> readEvent();

    // Answers a request without data: error 0 accepts it, any other value
    // makes the host's call fail.
    bool answerGetReport(std::uint32_t requestId, std::uint16_t error);
    bool answerSetReport(std::uint32_t requestId, std::uint16_t error);

private:
    int descriptor_;
    bool created_ = false;
};
