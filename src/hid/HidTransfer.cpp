#include "hid/HidTransfer.h"

#include "hid/HidTextFormat.h"
#include "hid/HidTrace.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr unsigned kInvalidHandleValue = 0xFFFFFFFFu;
constexpr size_t kHexCharactersPerByte = 3;

unsigned handleValue(const HidTransferTarget& target)
{
    if (target.handle)
        return static_cast<unsigned>(target.handle->fd());
    return target.invalidHandle ? kInvalidHandleValue : 0;
}

unsigned addressValue(const void* address)
{
    return static_cast<unsigned>(reinterpret_cast<uintptr_t>(address));
}

bool hasDevice(const HidTransferTarget& target)
{
    return target.handle || target.invalidHandle;
}

enum class WaitResult { deviceReady, aborted, closed, timedOut };

struct WaitOutcome {
    WaitResult result = WaitResult::timedOut;
    int signalledFd = -1;
};

// Waits until the device is ready for `events` (or reports an error or hang-up),
// the abort event or the handle's wake-up fires, or the time-out passes.
WaitOutcome waitForDevice(const HidHandle& handle, short events, int abortEvent, int timeoutMs)
{
    enum Slot { kDeviceSlot, kWakeSlot, kAbortSlot };
    pollfd fds[] = {
        {handle.fd(), events, 0},
        {handle.wakeFd(), POLLIN, 0},
        {abortEvent, POLLIN, 0},
    };
    const nfds_t count = abortEvent >= 0 ? 3 : 2;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (remaining.count() <= 0)
            return {WaitResult::timedOut, -1};
        const int ready = ::poll(fds, count, static_cast<int>(remaining.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return {WaitResult::timedOut, -1};
        if (fds[kWakeSlot].revents != 0)
            return {WaitResult::closed, handle.wakeFd()};
        if (count > kAbortSlot && fds[kAbortSlot].revents != 0)
            return {WaitResult::aborted, abortEvent};
        if (fds[kDeviceSlot].revents != 0)
            return {WaitResult::deviceReady, handle.fd()};
    }
}

void resetEvent(int eventFd)
{
    uint64_t counter = 0;
    // A counter that is already 0 leaves nothing to read; that is the reset state.
    const bool drained = ::read(eventFd, &counter, sizeof counter) == static_cast<ssize_t>(sizeof counter);
    static_cast<void>(drained);
}

// One read(2) of a report. Unnumbered reports arrive without their report-ID
// byte; it is put back in front so the caller always sees it at buffer[0].
// Returns the count including that byte, or -1 with errno set; end of file
// (the peer went away) counts as ENODEV.
ssize_t readReportOnce(const HidHandle& handle, uint8_t* buffer, size_t length)
{
    ssize_t received = 0;
    if (handle.reportIdsUsed()) {
        received = ::read(handle.fd(), buffer, length);
    } else if (length > 1) {
        received = ::read(handle.fd(), buffer + 1, length - 1);
    } else {
        uint8_t discarded = 0;
        received = ::read(handle.fd(), &discarded, sizeof discarded);
        if (received > 0)
            received = 0;
    }
    if (received < 0)
        return -1;
    if (received == 0 && (handle.reportIdsUsed() || length > 1)) {
        errno = ENODEV;
        return -1;
    }
    if (!handle.reportIdsUsed()) {
        buffer[0] = 0;
        ++received;
    }
    return received;
}

int finishRead(int count)
{
    hidTrace(L"已读长度为 %d\n", count);
    return count;
}

int finishWrite(int count)
{
    hidTrace(L"已写长度为 %d\n", count);
    return count;
}

void traceReadBytes(const uint8_t* buffer, size_t count)
{
    std::vector<wchar_t> text(kHexCharactersPerByte * count + 1);
    formatHexBytes(buffer, count, text.data(), text.size(), L' ');
    hidTrace(L"%ls\n", text.data());
}

void traceAbort(const WaitOutcome& outcome)
{
    hidTrace(L"read abort : %04x", static_cast<unsigned>(outcome.signalledFd));
}

}  // namespace

int transferRead(const HidTransferTarget& target, uint8_t* buffer, size_t length, int timeoutMs,
                 int abortEvent)
{
    if (length == 0 || buffer == nullptr || !hasDevice(target))
        return 0;
    hidTrace(L"读(异步)USB设备 handle=%08x, data=%08x, len=%d, timeout=%d\n", handleValue(target),
             addressValue(buffer), static_cast<int>(length), timeoutMs);
    if (timeoutMs <= 0)
        return finishRead(0);
    if (target.caps.inputReportByteLength != 0 && target.caps.inputReportByteLength < length)
        length = target.caps.inputReportByteLength;
    if (!target.handle) {
        hidTrace(L"读取文件错误(%d)\n", EBADF);
        return finishRead(0);
    }

    const HidHandle& handle = *target.handle;
    ssize_t received = readReportOnce(handle, buffer, length);
    if (received < 0 && errno != EAGAIN) {
        hidTrace(L"读取文件错误(%d)\n", errno);
        return finishRead(0);
    }
    if (received < 0) {
        const WaitOutcome outcome = waitForDevice(handle, POLLIN, abortEvent, timeoutMs);
        switch (outcome.result) {
        case WaitResult::deviceReady:
            hidTrace(L"asynchronous read succeed : %d\n", handle.fd());
            received = readReportOnce(handle, buffer, length);
            if (received < 0)
                return finishRead(0);
            break;
        case WaitResult::aborted:
            resetEvent(abortEvent);
            traceAbort(outcome);
            return finishRead(0);
        case WaitResult::closed:
            traceAbort(outcome);
            return finishRead(0);
        case WaitResult::timedOut:
            hidTrace(L"超时索引错误(%d)\n", kPendingErrorCode);
            return finishRead(0);
        }
    }
    traceReadBytes(buffer, static_cast<size_t>(received));
    return finishRead(static_cast<int>(received));
}

int transferWrite(const HidTransferTarget& target, const uint8_t* buffer, size_t length,
                  int timeoutMs, int abortEvent)
{
    if (length == 0 || buffer == nullptr || !hasDevice(target) || timeoutMs <= 0)
        return 0;
    const unsigned handleText = handleValue(target);
    hidTrace(L"写(异步)USB设备 handle=%08x, data=%08x, len=%d, timeout=%d\n", handleText,
             addressValue(buffer), static_cast<int>(length), timeoutMs);
    if (target.caps.outputReportByteLength != 0 && target.caps.outputReportByteLength < length)
        length = target.caps.outputReportByteLength;
    hidTrace(L"正在写入... %d\n", static_cast<int>(length));

    ssize_t written = -1;
    int error = EBADF;
    if (target.handle) {
        written = target.handle->writeOnce(buffer, length);
        error = errno;
    }
    if (written >= 0)
        return finishWrite(static_cast<int>(written));

    hidTrace(L"写文件错误(%04x,%d)\n", handleText, error);
    if (error != EAGAIN) {
        hidTrace(L"写文件错误(%04x,%d)\n", handleText, error);
        return finishWrite(0);
    }
    const HidHandle& handle = *target.handle;
    const WaitOutcome outcome = waitForDevice(handle, POLLOUT, abortEvent, timeoutMs);
    switch (outcome.result) {
    case WaitResult::deviceReady:
        hidTrace(L"asynchronous write succeed : %d\n", handle.fd());
        written = handle.writeOnce(buffer, length);
        return finishWrite(written > 0 ? static_cast<int>(written) : 0);
    case WaitResult::aborted:
        resetEvent(abortEvent);
        traceAbort(outcome);
        return finishWrite(0);
    case WaitResult::closed:
        traceAbort(outcome);
        return finishWrite(0);
    case WaitResult::timedOut:
        hidTrace(L"超时索引错误\n");
        return finishWrite(0);
    }
    return finishWrite(0);
}
