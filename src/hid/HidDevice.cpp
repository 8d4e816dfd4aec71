#include "hid/HidDevice.h"

#include "hid/HidBackend.h"
#include "hid/HidDiscovery.h"
#include "hid/HidPath.h"
#include "hid/HidTrace.h"
#include "hid/OperationLock.h"

#include <algorithm>
#include <vector>

namespace {

constexpr const char* kOpenLock = "HidDevice::Open";
constexpr const char* kCloseLock = "HidDevice::Close";
constexpr const char* kReadLock = "HidDevice::Read";
constexpr const char* kWriteLock = "HidDevice::Write";
constexpr const char* kGetFeatureLock = "HidDevice::GetFeature";
constexpr const char* kSetFeatureLock = "HidDevice::SetFeature";
constexpr const char* kSetOutputReportLock = "HidDevice::SetOutputReport";
constexpr const char* kGetInputReportLock = "HidDevice::GetInputReport";

constexpr uint32_t kGenericRead = 0x80;
constexpr uint32_t kGenericWrite = 0x40;
constexpr unsigned kAccessRightsShift = 24;
constexpr uint8_t kReportIdZero = 0;
constexpr unsigned kInvalidHandleValue = 0xFFFFFFFFu;

HidNodeAccess accessFromFlags(uint32_t accessFlags)
{
    const uint32_t rights = accessFlags >> kAccessRightsShift;
    const bool read = (rights & kGenericRead) != 0;
    const bool write = (rights & kGenericWrite) != 0;
    if (read && write)
        return HidNodeAccess::readWrite;
    if (read)
        return HidNodeAccess::read;
    if (write)
        return HidNodeAccess::write;
    return HidNodeAccess::none;
}

}  // namespace

HidDevice::~HidDevice()
{
    std::lock_guard state(stateMutex_);
    releaseHandleLocked();
}

int HidDevice::openDeviceByIds(int32_t vendorId, int32_t productIdCount, const int32_t* productIds,
                               int32_t interfaceNumber, int32_t collectionNumber,
                               uint16_t* releaseNumber, uint32_t accessFlags)
{
    const auto lock = operationLock(kOpenLock);
    HidInterfaceInfo* list =
        enumerateHidInterfaces(vendorId, productIdCount, productIds, interfaceNumber, collectionNumber);
    if (list == nullptr)
        return 0;
    const int opened = openDeviceByPath(accessFlags, list->devicePath.c_str());
    if (releaseNumber != nullptr)
        *releaseNumber = list->releaseNumber;
    freeHidInterfaceList(list);
    return opened;
}

int HidDevice::openDeviceById(int32_t vendorId, int32_t productId, int32_t interfaceNumber,
                              int32_t collectionNumber)
{
    const int32_t products[] = {productId};
    return openDeviceByIds(vendorId, productId == 0 ? 0 : 1, products, interfaceNumber,
                           collectionNumber, nullptr, kApplicationAccessFlags);
}

int HidDevice::openDeviceByPath(uint32_t accessFlags, const wchar_t* path)
{
    const auto lock = operationLock(kOpenLock);
    if (path == nullptr)
        return 0;
    {
        std::lock_guard state(stateMutex_);
        releaseHandleLocked();
    }
    HidBackend& backend = activeHidBackend();
    const int fd = backend.openNode(hidPathNode(path), accessFromFlags(accessFlags));
    hidTrace(L"open dev: %08x\n", fd >= 0 ? static_cast<unsigned>(fd) : kInvalidHandleValue);
    if (fd < 0) {
        std::lock_guard state(stateMutex_);
        invalidHandle_ = true;
        return 0;
    }
    const HidInterfaceQuery query = queryHidInterface(path);
    const HidInterfaceDetails details = query.details.value_or(HidInterfaceDetails{});
    std::shared_ptr<HidHandle> handle = HidHandle::adopt(fd, backend, details.reportIdsUsed);
    std::lock_guard state(stateMutex_);
    if (!handle) {
        invalidHandle_ = true;
        return 0;
    }
    handle_ = std::move(handle);
    caps_ = details.caps;
    return 1;
}

void HidDevice::close()
{
    const auto lock = operationLock(kCloseLock);
    std::lock_guard state(stateMutex_);
    releaseHandleLocked();
}

void HidDevice::releaseHandleLocked()
{
    if (handle_)
        handle_->wakeTransfers();
    handle_.reset();
    invalidHandle_ = false;
}

HidTransferTarget HidDevice::transferTarget() const
{
    std::lock_guard state(stateMutex_);
    return HidTransferTarget{handle_, invalidHandle_, caps_};
}

HidCaps HidDevice::capabilities() const
{
    std::lock_guard state(stateMutex_);
    return caps_;
}

int HidDevice::readReport(std::span<uint8_t, kReportSize> report)
{
    const auto lock = operationLock(kReadLock);
    std::vector<uint8_t> transfer(kTransferSize, 0);
    const int count = transferRead(transferTarget(), transfer.data(), transfer.size(),
                                   kTransferTimeoutMs, kNoAbortEvent);
    std::copy(transfer.begin() + 1, transfer.end(), report.begin());
    return count;
}

int HidDevice::writeReport(std::span<const uint8_t, kReportSize> report)
{
    const auto lock = operationLock(kWriteLock);
    std::vector<uint8_t> transfer(kTransferSize);
    transfer[0] = kReportIdZero;
    std::copy(report.begin(), report.end(), transfer.begin() + 1);
    return transferWrite(transferTarget(), transfer.data(), transfer.size(), kTransferTimeoutMs,
                         kNoAbortEvent);
}

int HidDevice::read(uint8_t* buffer, size_t length, int timeoutMs, int abortEvent)
{
    const auto lock = operationLock(kReadLock);
    return transferRead(transferTarget(), buffer, length, timeoutMs, abortEvent);
}

int HidDevice::write(const uint8_t* buffer, size_t length, int timeoutMs, int abortEvent)
{
    const auto lock = operationLock(kWriteLock);
    return transferWrite(transferTarget(), buffer, length, timeoutMs, abortEvent);
}

int HidDevice::getFeature(uint8_t* buffer, size_t length)
{
    const auto lock = operationLock(kGetFeatureLock);
    const HidTransferTarget target = transferTarget();
    if (length == 0 || buffer == nullptr || !target.handle)
        return 0;
    return target.handle->backend().getFeatureReport(target.handle->fd(), buffer, length) >= 0 ? 1 : 0;
}

int HidDevice::getFeature(uint8_t reportId, uint8_t* buffer, size_t length)
{
    const auto lock = operationLock(kGetFeatureLock);
    if (buffer == nullptr)
        return 0;
    std::vector<uint8_t> transfer(length + 1, 0);
    transfer[0] = reportId;
    const int result = getFeature(transfer.data(), transfer.size());
    if (result != 0)
        std::copy(transfer.begin() + 1, transfer.end(), buffer);
    return result;
}

int HidDevice::setFeature(const uint8_t* buffer, size_t length)
{
    const auto lock = operationLock(kSetFeatureLock);
    const HidTransferTarget target = transferTarget();
    if (length == 0 || buffer == nullptr || !target.handle)
        return 0;
    return target.handle->backend().setFeatureReport(target.handle->fd(), buffer, length) >= 0 ? 1 : 0;
}

int HidDevice::setFeature(uint8_t reportId, const uint8_t* buffer, size_t length)
{
    const auto lock = operationLock(kSetFeatureLock);
    if (buffer == nullptr)
        return 0;
    std::vector<uint8_t> transfer(length + 1);
    transfer[0] = reportId;
    std::copy(buffer, buffer + length, transfer.begin() + 1);
    return setFeature(transfer.data(), transfer.size());
}

int HidDevice::setOutputReport(const uint8_t*, size_t)
{
    const auto lock = operationLock(kSetOutputReportLock);
    return 0;
}

int HidDevice::getInputReport(uint8_t*, size_t)
{
    const auto lock = operationLock(kGetInputReportLock);
    return 0;
}
