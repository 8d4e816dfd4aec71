#include "sim/SimulatedMouse.h"

#include "sim/SocketPairTransport.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <unistd.h>
#include <vector>

namespace {

timespec timeoutUntil(std::chrono::steady_clock::time_point deadline)
{
    const auto remaining = std::max(deadline - std::chrono::steady_clock::now(),
                                    std::chrono::steady_clock::duration::zero());
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(remaining);
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(remaining - seconds);
    return timespec{static_cast<time_t>(seconds.count()), static_cast<long>(nanoseconds.count())};
}

void drainEventDescriptor(int descriptor)
{
    eventfd_t value;
    while (::eventfd_read(descriptor, &value) == 0) {
    }
}

} // namespace

SimulatedMouse::SimulatedMouse(const SimulatedMouseIdentity& identity, std::unique_ptr<FirmwareTransport> transport)
    : identity_(identity),
      transport_(transport ? std::move(transport) : std::make_unique<SocketPairTransport>()),
      firmware_(identity.firmwareVersion)
{
    if (const char* path = std::getenv(kWireLogEnvironmentVariable); path != nullptr && *path != '\0')
        wireLog_.openFile(path);
    wakeDescriptor_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    {
        std::lock_guard lock(mutex_);
        plugLocked();
    }
    thread_ = std::thread([this] { run(); });
}

SimulatedMouse::~SimulatedMouse()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake();
    thread_.join();
    std::lock_guard lock(mutex_);
    presenceListener_ = nullptr;
    transport_->detach();
    if (wakeDescriptor_ >= 0)
        ::close(wakeDescriptor_);
}

int SimulatedMouse::open()
{
    int descriptor;
    {
        std::lock_guard lock(mutex_);
        descriptor = transport_->openHostEnd();
    }
    if (descriptor >= 0)
        wake();
    return descriptor;
}

std::size_t SimulatedMouse::openConnectionCount() const
{
    std::lock_guard lock(mutex_);
    return transport_->openConnectionCount();
}

void SimulatedMouse::plug()
{
    {
        std::lock_guard lock(mutex_);
        plugLocked();
    }
    wake();
}

void SimulatedMouse::unplug()
{
    {
        std::lock_guard lock(mutex_);
        comebackAt_.reset();
        unplugLocked();
    }
    wake();
}

bool SimulatedMouse::isPlugged() const
{
    std::lock_guard lock(mutex_);
    return plugged_;
}

void SimulatedMouse::setPresenceListener(PresenceListener listener)
{
    std::lock_guard lock(mutex_);
    presenceListener_ = std::move(listener);
}

void SimulatedMouse::setReplyLatency(std::chrono::microseconds latency)
{
    {
        std::lock_guard lock(mutex_);
        replyLatency_ = latency;
    }
    wake();
}

void SimulatedMouse::setSilent(bool silent)
{
    std::lock_guard lock(mutex_);
    silent_ = silent;
}

void SimulatedMouse::setRestartTiming(std::chrono::milliseconds delay, std::chrono::milliseconds pause)
{
    std::lock_guard lock(mutex_);
    restartDelay_ = delay;
    restartPause_ = pause;
}

std::uint64_t SimulatedMouse::transferCount() const
{
    std::lock_guard lock(mutex_);
    return transferCount_;
}

void SimulatedMouse::resetTransferCount()
{
    std::lock_guard lock(mutex_);
    transferCount_ = 0;
}

void SimulatedMouse::unplugAtTransfer(std::uint64_t index)
{
    std::lock_guard lock(mutex_);
    unplugAtTransfer_ = index;
}

FirmwareState SimulatedMouse::firmwareState() const
{
    std::lock_guard lock(mutex_);
    return firmware_.state();
}

bool SimulatedMouse::setFirmwareState(const FirmwareState& state)
{
    std::lock_guard lock(mutex_);
    return firmware_.setState(state);
}

void SimulatedMouse::wake()
{
    while (::eventfd_write(wakeDescriptor_, 1) != 0 && errno == EINTR) {
    }
}

void SimulatedMouse::run()
{
    // Replies are due a set latency after their request; the default timer
    // slack of 50 us would add itself to every one of them.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    std::vector<int> descriptors;
    std::vector<pollfd> waitSet;
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        descriptors.clear();
        transport_->appendWaitDescriptors(descriptors);
        waitSet.assign(1, pollfd{wakeDescriptor_, POLLIN, 0});
        for (const int descriptor : descriptors)
            waitSet.push_back(pollfd{descriptor, POLLIN, 0});
        const std::optional<Clock::time_point> deadline = nextDeadlineLocked();

        lock.unlock();
        timespec timeout{};
        if (deadline)
            timeout = timeoutUntil(*deadline);
        const int ready = ::ppoll(waitSet.data(), waitSet.size(), deadline ? &timeout : nullptr, nullptr);
        if (ready > 0 && waitSet[0].revents != 0)
            drainEventDescriptor(wakeDescriptor_);
        lock.lock();

        if (ready > 0) {
            // Descriptors closed meanwhile (an unplug) are skipped by the transport.
            for (std::size_t i = 1; i < waitSet.size() && !stopping_; ++i)
                if (waitSet[i].revents != 0)
                    for (const MouseReport& request : transport_->receive(waitSet[i].fd))
                        handleRequestLocked(request);
        }
        sendDueRepliesLocked();
        runTimersLocked(Clock::now());
    }
}

void SimulatedMouse::handleRequestLocked(const MouseReport& request)
{
    if (!plugged_ || unplugsAtThisTransferLocked())
        return;
    wireLog_.record(WireDirection::HostToDevice, request);
    FirmwareResponse response = firmware_.handleReport(request);
    if (!silent_) {
        Clock::time_point due = Clock::now();
        if (!pendingReplies_.empty())
            due = std::max(due, pendingReplies_.back().due);
        for (const MouseReport& reply : response.replies) {
            due += replyLatency_;
            pendingReplies_.push_back(PendingReply{due, reply});
        }
    }
    if (response.restart && !dropAt_)
        dropAt_ = Clock::now() + restartDelay_;
}

void SimulatedMouse::sendDueRepliesLocked()
{
    while (plugged_ && !pendingReplies_.empty() && pendingReplies_.front().due <= Clock::now()) {
        const MouseReport reply = pendingReplies_.front().report;
        pendingReplies_.pop_front();
        if (unplugsAtThisTransferLocked())
            return;
        wireLog_.record(WireDirection::DeviceToHost, reply);
        transport_->send(reply);
    }
}

void SimulatedMouse::runTimersLocked(Clock::time_point now)
{
    if (dropAt_ && *dropAt_ <= now) {
        unplugLocked();
        comebackAt_ = now + restartPause_;
    }
    if (comebackAt_ && *comebackAt_ <= now)
        plugLocked();
}

std::optional<SimulatedMouse::Clock::time_point> SimulatedMouse::nextDeadlineLocked() const
{
    std::optional<Clock::time_point> deadline;
    const auto consider = [&deadline](Clock::time_point candidate) {
        if (!deadline || candidate < *deadline)
            deadline = candidate;
    };
    if (!pendingReplies_.empty())
        consider(pendingReplies_.front().due);
    if (dropAt_)
        consider(*dropAt_);
    if (comebackAt_)
        consider(*comebackAt_);
    return deadline;
}

bool SimulatedMouse::unplugsAtThisTransferLocked()
{
    const std::uint64_t index = transferCount_++;
    if (!unplugAtTransfer_ || *unplugAtTransfer_ != index)
        return false;
    unplugAtTransfer_.reset();
    comebackAt_.reset();
    unplugLocked();
    return true;
}

void SimulatedMouse::plugLocked()
{
    comebackAt_.reset();
    if (plugged_)
        return;
    plugged_ = true;
    transport_->attach();
    if (presenceListener_)
        presenceListener_(true);
}

void SimulatedMouse::unplugLocked()
{
    dropAt_.reset();
    pendingReplies_.clear();
    if (!plugged_)
        return;
    plugged_ = false;
    transport_->detach();
    if (presenceListener_)
        presenceListener_(false);
}
