#include "sim/UhidDevice.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/uhid.h>
#include <unistd.h>

namespace {

// A request too short to hold its event type is not one.
constexpr ssize_t kMinimumEventSize = sizeof(std::uint32_t);

bool writeEvent(int descriptor, const uhid_event& event)
{
    ssize_t written;
    do
        written = ::write(descriptor, &event, sizeof event);
    while (written < 0 && errno == EINTR);
    if (written < 0)
        return false;
    if (written != static_cast<ssize_t>(sizeof event)) {
        errno = EIO;
        return false;
    }
    return true;
}

// Copies text into a fixed, zero-terminated field; false when it does not fit.
template <std::size_t N>
bool copyText(std::uint8_t (&field)[N], const std::string& text)
{
    if (text.size() >= N)
        return false;
    std::memcpy(field, text.data(), text.size());
    return true;
}

UhidEventType eventTypeOf(std::uint32_t type)
{
    switch (type) {
    case UHID_START: return UhidEventType::started;
    case UHID_STOP: return UhidEventType::stopped;
    case UHID_OPEN: return UhidEventType::opened;
    case UHID_CLOSE: return UhidEventType::closed;
    case UHID_OUTPUT: return UhidEventType::output;
    case UHID_GET_REPORT: return UhidEventType::getReport;
    case UHID_SET_REPORT: return UhidEventType::setReport;
    default: return UhidEventType::other;
    }
}

std::vector<std::uint8_t> bytesOf(const std::uint8_t* data, std::size_t size, std::size_t capacity)
{
    return std::vector<std::uint8_t>(data, data + std::min(size, capacity));
}

}  // namespace

std::unique_ptr<UhidDevice> UhidDevice::open(const char* node)
{
    const int descriptor = ::open(node, O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0)
        return nullptr;
    return std::make_unique<UhidDevice>(descriptor);
}

UhidDevice::UhidDevice(int descriptor) : descriptor_(descriptor)
{
}

UhidDevice::~UhidDevice()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

bool UhidDevice::create(const UhidDeviceDescription& description)
{
    if (created_) {
        errno = EALREADY;
        return false;
    }
    auto event = std::make_unique<uhid_event>();
    event->type = UHID_CREATE2;
    uhid_create2_req& request = event->u.create2;
    if (!copyText(request.name, description.name) || !copyText(request.phys, description.phys) ||
        description.reportDescriptor.empty() || description.reportDescriptor.size() > sizeof request.rd_data) {
        errno = EINVAL;
        return false;
    }
    request.rd_size = static_cast<std::uint16_t>(description.reportDescriptor.size());
    request.bus = description.bus;
    request.vendor = description.vendorId;
    request.product = description.productId;
    request.version = description.version;
    std::copy(description.reportDescriptor.begin(), description.reportDescriptor.end(), request.rd_data);
    if (!writeEvent(descriptor_, *event))
        return false;
    created_ = true;
    return true;
}

bool UhidDevice::destroy()
{
    if (!created_)
        return true;
    auto event = std::make_unique<uhid_event>();
    event->type = UHID_DESTROY;
    if (!writeEvent(descriptor_, *event))
        return false;
    created_ = false;
    return true;
}

bool UhidDevice::sendInput(std::span<const std::uint8_t> report)
{
    if (!created_) {
        errno = ENODEV;
        return false;
    }
    auto event = std::make_unique<uhid_event>();
    event->type = UHID_INPUT2;
    if (report.size() > sizeof event->u.input2.data) {
        errno = EINVAL;
        return false;
    }
    event->u.input2.size = static_cast<std::uint16_t>(report.size());
    std::copy(report.begin(), report.end(), event->u.input2.data);
    return writeEvent(descriptor_, *event);
}

std::optional<UhidEvent> UhidDevice::readEvent()
{
    auto event = std::make_unique<uhid_event>();
    ssize_t received;
    do
        received = ::read(descriptor_, event.get(), sizeof *event);
    while (received < 0 && errno == EINTR);
    if (received < 0)
        return std::nullopt;
    if (received < kMinimumEventSize) {
        // End of file or a runt: the descriptor no longer speaks the protocol.
        errno = EIO;
        return std::nullopt;
    }

    UhidEvent result;
    result.type = eventTypeOf(event->type);
    switch (result.type) {
    case UhidEventType::output:
        result.data = bytesOf(event->u.output.data, event->u.output.size, sizeof event->u.output.data);
        break;
    case UhidEventType::getReport:
        result.requestId = event->u.get_report.id;
        result.reportNumber = event->u.get_report.rnum;
        break;
    case UhidEventType::setReport:
        result.requestId = event->u.set_report.id;
        result.reportNumber = event->u.set_report.rnum;
        result.data = bytesOf(event->u.set_report.data, event->u.set_report.size, sizeof event->u.set_report.data);
        break;
    default:
        break;
    }
    return result;
}

bool UhidDevice::answerGetReport(std::uint32_t requestId, std::uint16_t error)
{
    auto event = std::make_unique<uhid_event>();
    event->type = UHID_GET_REPORT_REPLY;
    event->u.get_report_reply.id = requestId;
    event->u.get_report_reply.err = error;
    event->u.get_report_reply.size = 0;
    return writeEvent(descriptor_, *event);
}

bool UhidDevice::answerSetReport(std::uint32_t requestId, std::uint16_t error)
{
    auto event = std::make_unique<uhid_event>();
    event->type = UHID_SET_REPORT_REPLY;
    event->u.set_report_reply.id = requestId;
    event->u.set_report_reply.err = error;
    return writeEvent(descriptor_, *event);
}
