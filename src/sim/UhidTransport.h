#pragma once

#include "sim/FirmwareTransport.h"
#include "sim/SimulatedMouse.h"
#include "sim/UhidDevice.h"

#include <memory>

// HID_NAME of both interfaces of the mouse made through uhid.
inline constexpr const char* kUhidMouseName = "Simulated Gaming Mouse";

// The two interfaces of the mouse as uhid device descriptions: the pointer on
// interface 0 and the vendor collection on the identity's interface, both
// with a HID_PHYS ending in "/input<interface>". The release number goes into
// the version field.
UhidDeviceDescription uhidVendorInterfaceDescription(const SimulatedMouseIdentity& identity);
UhidDeviceDescription uhidPointerInterfaceDescription(const SimulatedMouseIdentity& identity);

// The firmware model on the kernel's uhid interface: attaching creates the
// mouse's interfaces, so that the kernel's HID core, hidraw and its uevents
// see a real device; detaching destroys them. Hosts open the hidraw node the
// kernel makes, never a descriptor of this transport.
//
// Output reports written to the vendor interface's hidraw node reach the
// firmware (uhid passes the report-ID byte 0 in front, as hidraw got it);
// replies go out as input reports of that interface. Feature-report requests
// on either interface are refused at once, as the mouse has none. When the
// vendor interface is interface 0 there is no pointer interface.
//
// Called only with the simulated device's lock held (see FirmwareTransport).
class UhidTransport final : public FirmwareTransport {
public:
    // Opens the uhid node once per interface. Null with errno set when the node
    // cannot be opened, or EINVAL for an identity uhid cannot present (an
    // interface number above 255, or a collection number: the vendor
    // interface has a single collection).
    static std::unique_ptr<UhidTransport> open(const SimulatedMouseIdentity& identity, const char* node = kUhidNode);

    // The interfaces on descriptors given; pointer may be null.
    UhidTransport(const SimulatedMouseIdentity& identity, std::unique_ptr<UhidDevice> vendor,
                  std::unique_ptr<UhidDevice> pointer);
    ~UhidTransport() override;
    UhidTransport(const UhidTransport&) = delete;
    UhidTransport& operator=(const UhidTransport&) = delete;

    // Always -1 with errno EOPNOTSUPP: hosts open the hidraw node.
    int openHostEnd() override;
    void attach() override;
    void detach() override;
    void appendWaitDescriptors(std::vector<int>& descriptors) override;
    std::vector<MouseReport> receive(int descriptor) override;
    void send(const MouseReport& report) override;
    // 1 while a host has the vendor interface open, else 0: the kernel reports
    // only the first open and the last close.
    std::size_t openConnectionCount() const override;

    // errno of the last uhid request that failed (a create, a destroy, an input
    // report, an answer or reading an event), 0 while none has.
    int lastError() const { return lastError_; }

private:
    struct Interface {
        std::unique_ptr<UhidDevice> device;
        // False once reading its events failed: the descriptor is no longer
        // waited on, so a broken one cannot keep the device thread spinning.
        bool readable = true;
    };

    Interface* interfaceOf(int descriptor);
    void note(bool succeeded);
    void answerRequest(UhidDevice& device, const UhidEvent& event);

    const SimulatedMouseIdentity identity_;
    Interface vendor_;
    Interface pointer_;  // device null when there is no pointer interface
    bool vendorOpen_ = false;
    int lastError_ = 0;
};
