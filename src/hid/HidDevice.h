#pragma once

#include "hid/HidHandle.h"
#include "hid/HidTransfer.h"
#include "hid/HidTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

// One open HID interface. Every operation runs under the process-wide lock
// named after it ("HidDevice::Open", "HidDevice::Read", ...), so two reads
// exclude each other while a read and a write may run at once. Results are
// plain integers; nothing throws.
//
// Transfers are timed: a read or write waits at most its time-out for the
// device and returns 0 when it runs out. Closing the device (or opening it
// again) wakes a transfer in flight, which then returns 0 at once; the
// descriptor itself closes when its last transfer ends.
class HidDevice {
public:
    static constexpr size_t kReportSize = 64;
    // A report on the transfer: the report-ID byte (always 0) and the report.
    static constexpr size_t kTransferSize = kReportSize + 1;
    static constexpr int kTransferTimeoutMs = 3000;
    // Access rights in the top byte (read 0x80, write 0x40), share mode in the
    // low byte (read 0x01, write 0x02; ignored on Linux, where opens do not
    // exclude each other).
    static constexpr uint32_t kApplicationAccessFlags = 0xC0000003;

    HidDevice() = default;
    ~HidDevice();
    HidDevice(const HidDevice&) = delete;
    HidDevice& operator=(const HidDevice&) = delete;

    // Opens the first interface, in enumeration order, that passes the
    // filters of enumerateHidInterfaces. When releaseNumber is given it
    // receives that interface's release number. Returns 1 when opened.
    int openDeviceByIds(int32_t vendorId, int32_t productIdCount, const int32_t* productIds,
                        int32_t interfaceNumber, int32_t collectionNumber, uint16_t* releaseNumber,
                        uint32_t accessFlags);
    // As above with the product list {productId}, or an empty list for 0, and
    // kApplicationAccessFlags.
    int openDeviceById(int32_t vendorId, int32_t productId, int32_t interfaceNumber,
                       int32_t collectionNumber);
    // Opens the node a device path names, closing the current one first.
    // Returns 1 when opened; on failure the device stays in the invalid-handle
    // state, in which transfers fail with 0, until the next open or close.
    int openDeviceByPath(uint32_t accessFlags, const wchar_t* path);

    void close();

    // Reads one report: the transfer's report-ID byte is dropped and the 64
    // report bytes are copied to report. Waits at most kTransferTimeoutMs.
    // Returns kTransferSize on success, 0 on failure or time-out (report is
    // then unspecified).
    int readReport(std::span<uint8_t, kReportSize> report);
    // Sends the report-ID byte 0 followed by the 64 report bytes. Returns
    // kTransferSize on success, 0 on failure or time-out.
    int writeReport(std::span<const uint8_t, kReportSize> report);

    // Raw transfers: buffer[0] is the report-ID byte and length counts it.
    // abortEvent is an eventfd (or -1); when it signals it is reset and the
    // transfer returns 0. Return the bytes transferred.
    int read(uint8_t* buffer, size_t length, int timeoutMs, int abortEvent = -1);
    int write(const uint8_t* buffer, size_t length, int timeoutMs, int abortEvent = -1);

    // Feature reports through the hidraw feature calls. The plain forms take
    // buffer[0] as the report-ID byte; the report-ID forms put reportId in
    // front of length bytes of buffer (and getFeature copies the answer's
    // bytes after the report id back). Return 1 on success, else 0.
    int getFeature(uint8_t* buffer, size_t length);
    int getFeature(uint8_t reportId, uint8_t* buffer, size_t length);
    int setFeature(const uint8_t* buffer, size_t length);
    int setFeature(uint8_t reportId, const uint8_t* buffer, size_t length);

    // Not supported: always 0, nothing is transferred.
    int setOutputReport(const uint8_t* buffer, size_t length);
    int getInputReport(uint8_t* buffer, size_t length);

    // Capabilities of the open interface; all zero before the first open.
    HidCaps capabilities() const;

private:
    // Detaches the current handle and wakes its transfers; the descriptor
    // closes with its last holder. Call with stateMutex_ held.
    void releaseHandleLocked();
    HidTransferTarget transferTarget() const;

    mutable std::mutex stateMutex_;  // guards the three members below
    HidCaps caps_;
    std::shared_ptr<HidHandle> handle_;
    bool invalidHandle_ = false;
};
