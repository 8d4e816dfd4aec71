#include "sim/UhidTransport.h"

#include "sim/UhidDescriptors.h"

#include <cerrno>
#include <string>

namespace {

constexpr int kPointerInterfaceNumber = 0;
constexpr int kMaxInterfaceNumber = 0xFF;
constexpr int kSingleCollection = -1;
// Where the mouse sits in the kernel's topology; the kernel only keeps the text.
constexpr const char* kPhysPrefix = "usb-0000:00:14.0-2/input";

UhidDeviceDescription interfaceDescription(const SimulatedMouseIdentity& identity, int interfaceNumber,
                                           std::span<const std::uint8_t> descriptor)
{
    UhidDeviceDescription description;
    description.name = kUhidMouseName;
    description.phys = kPhysPrefix + std::to_string(interfaceNumber);
    description.bus = kUhidBusUsb;
    description.vendorId = identity.vendorId;
    description.productId = identity.productId;
    description.version = identity.releaseNumber;
    description.reportDescriptor.assign(descriptor.begin(), descriptor.end());
    return description;
}

}  // namespace

UhidDeviceDescription uhidVendorInterfaceDescription(const SimulatedMouseIdentity& identity)
{
    return interfaceDescription(identity, identity.interfaceNumber, vendorInterfaceDescriptor());
}

UhidDeviceDescription uhidPointerInterfaceDescription(const SimulatedMouseIdentity& identity)
{
    return interfaceDescription(identity, kPointerInterfaceNumber, pointerInterfaceDescriptor());
}

std::unique_ptr<UhidTransport> UhidTransport::open(const SimulatedMouseIdentity& identity, const char* node)
{
    if (identity.interfaceNumber < 0 || identity.interfaceNumber > kMaxInterfaceNumber ||
        identity.collectionNumber != kSingleCollection) {
        errno = EINVAL;
        return nullptr;
    }
    std::unique_ptr<UhidDevice> vendor = UhidDevice::open(node);
    if (!vendor)
        return nullptr;
    std::unique_ptr<UhidDevice> pointer;
    if (identity.interfaceNumber != kPointerInterfaceNumber) {
        pointer = UhidDevice::open(node);
        if (!pointer)
            return nullptr;
    }
    return std::make_unique<UhidTransport>(identity, std::move(vendor), std::move(pointer));
}

UhidTransport::UhidTransport(const SimulatedMouseIdentity& identity, std::unique_ptr<UhidDevice> vendor,
                             std::unique_ptr<UhidDevice> pointer)
    : identity_(identity), vendor_{std::move(vendor)}, pointer_{std::move(pointer)}
{
}

UhidTransport::~UhidTransport()
{
    detach();
}

int UhidTransport::openHostEnd()
{
    errno = EOPNOTSUPP;
    return -1;
}

void UhidTransport::attach()
{
    // The pointer first, as a composite device lists its interfaces in order.
    if (pointer_.device && !pointer_.device->isCreated())
        note(pointer_.device->create(uhidPointerInterfaceDescription(identity_)));
    if (!vendor_.device->isCreated())
        note(vendor_.device->create(uhidVendorInterfaceDescription(identity_)));
}

void UhidTransport::detach()
{
    vendorOpen_ = false;
    note(vendor_.device->destroy());
    if (pointer_.device)
        note(pointer_.device->destroy());
}

void UhidTransport::appendWaitDescriptors(std::vector<int>& descriptors)
{
    for (const Interface* interface : {&vendor_, &pointer_})
        if (interface->device && interface->readable)
            descriptors.push_back(interface->device->descriptor());
}

std::vector<MouseReport> UhidTransport::receive(int descriptor)
{
    std::vector<MouseReport> reports;
    Interface* interface = interfaceOf(descriptor);
    if (interface == nullptr || !interface->readable)
        return reports;
    UhidDevice& device = *interface->device;
    const bool isVendor = interface == &vendor_;
    while (const std::optional<UhidEvent> event = device.readEvent()) {
        switch (event->type) {
        case UhidEventType::opened:
            vendorOpen_ = vendorOpen_ || isVendor;
            break;
        case UhidEventType::closed:
            vendorOpen_ = vendorOpen_ && !isVendor;
            break;
        case UhidEventType::output:
            // Events still queued after a detach are stale: the device has left the bus.
            if (isVendor && device.isCreated())
                if (const auto report = reportFromOutputTransfer(event->data))
                    reports.push_back(*report);
            break;
        case UhidEventType::getReport:
        case UhidEventType::setReport:
            answerRequest(device, *event);
            break;
        default:
            break;
        }
    }
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
        lastError_ = errno;
        interface->readable = false;
    }
    return reports;
}

void UhidTransport::send(const MouseReport& report)
{
    // Off the bus the report is lost, as on a real cable.
    if (vendor_.device->isCreated())
        note(vendor_.device->sendInput(report));
}

std::size_t UhidTransport::openConnectionCount() const
{
    return vendorOpen_ ? 1 : 0;
}

UhidTransport::Interface* UhidTransport::interfaceOf(int descriptor)
{
    for (Interface* interface : {&vendor_, &pointer_})
        if (interface->device && interface->device->descriptor() == descriptor)
            return interface;
    return nullptr;
}

void UhidTransport::note(bool succeeded)
{
    if (!succeeded)
        lastError_ = errno;
}

void UhidTransport::answerRequest(UhidDevice& device, const UhidEvent& event)
{
    // The mouse has no feature reports; refusing at once spares the host the
    // kernel's wait of several seconds for an answer.
    const bool answered = event.type == UhidEventType::getReport ? device.answerGetReport(event.requestId, EIO)
                                                                 : device.answerSetReport(event.requestId, EIO);
    note(answered);
}
