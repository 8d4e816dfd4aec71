#include "sim/SimulatedMouse.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr SimulatedMouseIdentity kIdentity{
    .vendorId = 0x1A2B, .productId = 0x3C4D, .interfaceNumber = 1, .releaseNumber = 0x0200, .firmwareVersion = 0x0105};

// The host's end of one open, used the way the HID layer uses a hidraw node.
class HostEnd {
public:
    explicit HostEnd(int fd) : fd_(fd) {}
    ~HostEnd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    HostEnd(const HostEnd&) = delete;
    HostEnd& operator=(const HostEnd&) = delete;

    int fd() const { return fd_; }

    // Writes the transfer: report-ID byte 0, then the report.
    ssize_t send(const MouseReport& report)
    {
        std::array<std::uint8_t, kMouseReportSize + 1> transfer{};
        std::copy(report.begin(), report.end(), transfer.begin() + 1);
        return sendRaw(transfer.data(), transfer.size());
    }
    ssize_t sendRaw(const std::uint8_t* bytes, std::size_t length) { return ::write(fd_, bytes, length); }

    // One input report, or none when nothing arrives in time or the device hung up.
    std::optional<MouseReport> read(std::chrono::milliseconds timeout = 1000ms)
    {
        pollfd waiter{fd_, POLLIN, 0};
        if (::poll(&waiter, 1, static_cast<int>(timeout.count())) <= 0)
            return std::nullopt;
        MouseReport report{};
        const ssize_t length = ::read(fd_, report.data(), report.size());
        if (length != static_cast<ssize_t>(report.size()))
            return std::nullopt;
        return report;
    }

    // True once the device end is closed: the next read sees end of stream.
    bool hungUp(std::chrono::milliseconds timeout = 1000ms)
    {
        pollfd waiter{fd_, POLLIN, 0};
        if (::poll(&waiter, 1, static_cast<int>(timeout.count())) <= 0)
            return false;
        std::uint8_t byte;
        return (waiter.revents & POLLHUP) != 0 && ::read(fd_, &byte, 1) == 0;
    }

private:
    int fd_;
};

// Records presence changes and lets a test wait for them.
class PresenceRecorder {
public:
    void attach(SimulatedMouse& mouse)
    {
        mouse.setPresenceListener([this](bool present) {
            std::lock_guard lock(mutex_);
            changes_.push_back(present);
            changed_.notify_all();
        });
    }
    bool waitForCount(std::size_t count, std::chrono::milliseconds timeout = 2000ms)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return changes_.size() >= count; });
    }
    std::vector<bool> changes()
    {
        std::lock_guard lock(mutex_);
        return changes_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<bool> changes_;
};

std::vector<WireRecord> waitForWireRecords(SimulatedMouse& mouse, std::size_t count,
                                           std::chrono::milliseconds timeout = 2000ms)
{
    const auto deadline = Clock::now() + timeout;
    std::vector<WireRecord> records = mouse.wireLog().records();
    while (records.size() < count && Clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
        records = mouse.wireLog().records();
    }
    return records;
}

TEST(SimulatedMouse, AnswersARequestOnTheOpenedDescriptor)
{
    SimulatedMouse mouse(kIdentity);
    HostEnd host(mouse.open());
    ASSERT_GE(host.fd(), 0);
    ASSERT_EQ(host.send(makeGetVersionRequest()), 65);
    const auto reply = host.read();
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(decodeVersionReply(*reply), 0x0105);
}

TEST(SimulatedMouse, LogsEveryReportBothWaysInOrder)
{
    SimulatedMouse mouse(kIdentity);
    HostEnd host(mouse.open());
    host.send(makeSetModeRequest(2));
    host.send(makeGetModeRequest());
    const auto reply = host.read();
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(decodeModeReply(*reply), 2);

    const std::vector<WireRecord> records = waitForWireRecords(mouse, 3);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].direction, WireDirection::HostToDevice);
    EXPECT_EQ(records[0].bytes, makeSetModeRequest(2));
    EXPECT_EQ(records[1].direction, WireDirection::HostToDevice);
    EXPECT_EQ(records[1].bytes, makeGetModeRequest());
    EXPECT_EQ(records[2].direction, WireDirection::DeviceToHost);
    EXPECT_EQ(records[2].bytes, *reply);
    EXPECT_LE(records[1].milliseconds, records[2].milliseconds);
}

TEST(SimulatedMouse, EachReplyWaitsForTheLatency)
{
    SimulatedMouse mouse(kIdentity);
    mouse.setReplyLatency(std::chrono::microseconds(3000));
    HostEnd host(mouse.open());
    const auto start = Clock::now();
    host.send(makeReadMacroTableRequest());
    for (int i = 0; i < kMacroTableReplyCount; ++i)
        ASSERT_TRUE(host.read().has_value()) << "reply " << i;
    EXPECT_GE(Clock::now() - start, 48 * 3ms);

    const std::vector<WireRecord> records = mouse.wireLog().records();
    ASSERT_EQ(records.size(), 49u);
    // Reply n is due n latencies after the request, however late the
    // previous one went out.
    for (std::size_t i = 1; i < records.size(); ++i)
        EXPECT_GE(records[i].milliseconds - records[0].milliseconds, 3.0 * static_cast<double>(i) - 0.01)
            << "reply " << i - 1;
}

TEST(SimulatedMouse, ZeroLatencyAnswersAtOnce)
{
    SimulatedMouse mouse(kIdentity);
    mouse.setReplyLatency(std::chrono::microseconds(0));
    HostEnd host(mouse.open());
    host.send(makeGetStatusRequest());
    EXPECT_TRUE(host.read(500ms).has_value());
}

TEST(SimulatedMouse, ASilentMouseTakesRequestsButNeverAnswers)
{
    SimulatedMouse mouse(kIdentity);
    mouse.setSilent(true);
    HostEnd host(mouse.open());
    host.send(makeSetModeRequest(1));
    host.send(makeGetModeRequest());
    EXPECT_FALSE(host.read(100ms).has_value());
    EXPECT_EQ(mouse.firmwareState().currentMode, 1);
    const std::vector<WireRecord> records = mouse.wireLog().records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].direction, WireDirection::HostToDevice);

    mouse.setSilent(false);
    host.send(makeGetModeRequest());
    const auto reply = host.read();
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(decodeModeReply(*reply), 1);
}

TEST(SimulatedMouse, UnplugHangsUpOpenDescriptorsAndRefusesOpens)
{
    SimulatedMouse mouse(kIdentity);
    PresenceRecorder presence;
    presence.attach(mouse);
    HostEnd host(mouse.open());
    host.send(makeSetModeRequest(2));
    ASSERT_EQ(waitForWireRecords(mouse, 1).size(), 1u);

    mouse.unplug();
    EXPECT_FALSE(mouse.isPlugged());
    EXPECT_TRUE(host.hungUp());
    errno = 0;
    EXPECT_EQ(host.send(makeGetModeRequest()), -1) << "a write after the unplug fails (and raises no signal)";
    EXPECT_EQ(errno, EPIPE);
    errno = 0;
    EXPECT_EQ(mouse.open(), -1);
    EXPECT_EQ(errno, ENODEV);
    EXPECT_EQ(mouse.openConnectionCount(), 0u);

    mouse.plug();
    HostEnd again(mouse.open());
    ASSERT_GE(again.fd(), 0);
    again.send(makeGetModeRequest());
    const auto reply = again.read();
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(decodeModeReply(*reply), 2) << "the settings survive unplugging";
    EXPECT_EQ(presence.changes(), (std::vector<bool>{false, true}));
}

TEST(SimulatedMouse, PlugAndUnplugAreIdempotent)
{
    SimulatedMouse mouse(kIdentity);
    PresenceRecorder presence;
    presence.attach(mouse);
    mouse.plug();
    mouse.unplug();
    mouse.unplug();
    mouse.plug();
    EXPECT_EQ(presence.changes(), (std::vector<bool>{false, true}));
}

TEST(SimulatedMouse, UnplugDropsRepliesNotYetSent)
{
    SimulatedMouse mouse(kIdentity);
    mouse.setReplyLatency(std::chrono::microseconds(50000));
    HostEnd host(mouse.open());
    host.send(makeGetVersionRequest());
    ASSERT_EQ(waitForWireRecords(mouse, 1).size(), 1u);
    mouse.unplug();
    mouse.plug();
    HostEnd again(mouse.open());
    EXPECT_FALSE(again.read(150ms).has_value());
    EXPECT_EQ(mouse.wireLog().records().size(), 1u);
}

TEST(SimulatedMouse, FactoryResetDropsOffTheBusAndComesBack)
{
    SimulatedMouse mouse(kIdentity);
    mouse.setRestartTiming(40ms, 60ms);
    PresenceRecorder presence;
    presence.attach(mouse);
    HostEnd host(mouse.open());
    host.send(makeSetModeRequest(1));
    const auto sent = Clock::now();
    host.send(makeFactoryResetRequest());
    // Still on the bus for a moment: requests that follow the reset are answered.
    host.send(makeGetModeRequest());
    const auto reply = host.read();
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(decodeModeReply(*reply), 0);

    EXPECT_TRUE(host.hungUp());
    EXPECT_GE(Clock::now() - sent, 40ms);
    ASSERT_TRUE(presence.waitForCount(2));
    EXPECT_GE(Clock::now() - sent, 100ms);
    EXPECT_EQ(presence.changes(), (std::vector<bool>{false, true}));
    EXPECT_TRUE(mouse.isPlugged());
    EXPECT_EQ(mouse.firmwareState(), factoryFirmwareState(kIdentity.firmwareVersion));
}

TEST(SimulatedMouse, AnUnplugCancelsTheComebackAfterAReset)
{
    SimulatedMouse mouse(kIdentity);
    mouse.setRestartTiming(0ms, 50ms);
    PresenceRecorder presence;
    presence.attach(mouse);
    HostEnd host(mouse.open());
    host.send(makeFactoryResetRequest());
    ASSERT_TRUE(presence.waitForCount(1));
    mouse.unplug();
    std::this_thread::sleep_for(120ms);
    EXPECT_FALSE(mouse.isPlugged());
    EXPECT_EQ(presence.changes(), (std::vector<bool>{false}));
}

struct UnplugAtCase {
    const char* name;
    std::uint64_t transfer;
    std::size_t logged;      // reports in the wire log afterwards
    std::size_t repliesRead; // replies the host got before the hang-up
};

void PrintTo(const UnplugAtCase& c, std::ostream* os)
{
    *os << c.name;
}

class UnplugAtTransfer : public ::testing::TestWithParam<UnplugAtCase> {};

// GetVersion then GetMode: transfers 0 (request), 1 (reply), 2 (request), 3 (reply).
TEST_P(UnplugAtTransfer, UnplugsInsteadOfThatTransfer)
{
    SimulatedMouse mouse(kIdentity);
    HostEnd host(mouse.open());
    mouse.resetTransferCount();
    mouse.unplugAtTransfer(GetParam().transfer);

    host.send(makeGetVersionRequest());
    std::size_t replies = host.read(300ms).has_value() ? 1 : 0;
    if (replies == 1) {
        host.send(makeGetModeRequest());
        replies += host.read(300ms).has_value() ? 1 : 0;
    }
    EXPECT_EQ(replies, GetParam().repliesRead);
    EXPECT_FALSE(mouse.isPlugged());
    EXPECT_EQ(mouse.wireLog().records().size(), GetParam().logged);
}

INSTANTIATE_TEST_SUITE_P(SimulatedMouse, UnplugAtTransfer,
                         ::testing::Values(UnplugAtCase{"FirstRequest", 0, 0, 0},
                                           UnplugAtCase{"FirstReply", 1, 1, 0},
                                           UnplugAtCase{"SecondRequest", 2, 2, 1},
                                           UnplugAtCase{"SecondReply", 3, 3, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SimulatedMouse, CountsTransfersFromTheResetPoint)
{
    SimulatedMouse mouse(kIdentity);
    HostEnd host(mouse.open());
    host.send(makeGetVersionRequest());
    ASSERT_TRUE(host.read().has_value());
    EXPECT_EQ(mouse.transferCount(), 2u);
    mouse.resetTransferCount();
    host.send(makeReadMacroTableRequest());
    for (int i = 0; i < kMacroTableReplyCount; ++i)
        ASSERT_TRUE(host.read().has_value());
    EXPECT_EQ(mouse.transferCount(), 49u);
}

TEST(SimulatedMouse, TheUnplugAtATransferFiresOnce)
{
    SimulatedMouse mouse(kIdentity);
    mouse.unplugAtTransfer(0);
    {
        HostEnd host(mouse.open());
        host.send(makeGetVersionRequest());
        EXPECT_TRUE(host.hungUp());
    }
    mouse.plug();
    mouse.resetTransferCount();
    HostEnd host(mouse.open());
    host.send(makeGetVersionRequest());
    EXPECT_TRUE(host.read().has_value());
}

TEST(SimulatedMouse, EveryOpenDescriptorGetsEveryReply)
{
    SimulatedMouse mouse(kIdentity);
    HostEnd first(mouse.open());
    HostEnd second(mouse.open());
    first.send(makeGetVersionRequest());
    EXPECT_TRUE(first.read().has_value());
    EXPECT_TRUE(second.read().has_value());
    EXPECT_EQ(mouse.openConnectionCount(), 2u);
}

TEST(SimulatedMouse, AClosedHostEndIsForgotten)
{
    SimulatedMouse mouse(kIdentity);
    {
        HostEnd host(mouse.open());
        EXPECT_EQ(mouse.openConnectionCount(), 1u);
    }
    const auto deadline = Clock::now() + 2s;
    while (mouse.openConnectionCount() != 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(mouse.openConnectionCount(), 0u);
}

struct TransferCase {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool answered;
};

void PrintTo(const TransferCase& c, std::ostream* os)
{
    *os << c.name;
}

class OutputTransfers : public ::testing::TestWithParam<TransferCase> {};

TEST_P(OutputTransfers, OnlyReportIdZeroWithAtMostOneReportIsTaken)
{
    SimulatedMouse mouse(kIdentity);
    HostEnd host(mouse.open());
    const std::vector<std::uint8_t>& bytes = GetParam().bytes;
    ASSERT_EQ(host.sendRaw(bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    EXPECT_EQ(host.read(150ms).has_value(), GetParam().answered);
}

std::vector<std::uint8_t> versionTransfer(std::size_t length, std::uint8_t reportId = 0)
{
    std::vector<std::uint8_t> bytes(length, 0);
    bytes[0] = reportId;
    if (length > 2) {
        bytes[1] = kMouseReportTag;
        bytes[2] = static_cast<std::uint8_t>(MouseCommand::GetVersion);
    }
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(SimulatedMouse, OutputTransfers,
                         ::testing::Values(TransferCase{"FullTransfer", versionTransfer(65), true},
                                           TransferCase{"ShortTransferIsPadded", versionTransfer(3), true},
                                           TransferCase{"OtherReportId", versionTransfer(65, 1), false},
                                           TransferCase{"Oversized", versionTransfer(66), false},
                                           TransferCase{"FarOversized", versionTransfer(5000), false},
                                           TransferCase{"ReportIdOnly", versionTransfer(1), false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SimulatedMouse, SettingAnInvalidStateChangesNothing)
{
    SimulatedMouse mouse(kIdentity);
    FirmwareState state = mouse.firmwareState();
    state.currentDpiStage = 8;
    EXPECT_FALSE(mouse.setFirmwareState(state));
    EXPECT_EQ(mouse.firmwareState(), factoryFirmwareState(kIdentity.firmwareVersion));
}

TEST(SimulatedMouse, AStateSetByATestIsWhatTheHostReads)
{
    SimulatedMouse mouse(kIdentity);
    FirmwareState state = mouse.firmwareState();
    state.currentDpiStage = 6;
    ASSERT_TRUE(mouse.setFirmwareState(state));
    HostEnd host(mouse.open());
    host.send(makeGetDpiRequest());
    const auto reply = host.read();
    ASSERT_TRUE(reply.has_value());
    EXPECT_EQ(decodeDpiReply(*reply).stage, 6);
}

TEST(SimulatedMouse, WritesTheWireLogNamedByTheEnvironment)
{
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("sim-wire-" + std::to_string(::getpid()) + ".log");
    std::filesystem::remove(path);
    ::setenv(kWireLogEnvironmentVariable, path.c_str(), 1);
    {
        SimulatedMouse mouse(kIdentity);
        ::unsetenv(kWireLogEnvironmentVariable);
        HostEnd host(mouse.open());
        host.send(makeGetVersionRequest());
        ASSERT_TRUE(host.read().has_value());
        ASSERT_EQ(waitForWireRecords(mouse, 2).size(), 2u);
    }
    std::ifstream in(path);
    std::vector<WireRecord> lines;
    for (std::string line; std::getline(in, line);) {
        const auto parsed = parseWireLine(line);
        ASSERT_TRUE(parsed.has_value()) << line;
        lines.push_back(*parsed);
    }
    std::filesystem::remove(path);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].bytes, makeGetVersionRequest());
    EXPECT_EQ(lines[1].direction, WireDirection::DeviceToHost);
}

// Host traffic, knob changes, state reads and plugging from several threads at
// once; run under ThreadSanitizer it shows the shared state is guarded.
TEST(SimulatedMouse, ToleratesEveryOperationFromSeveralThreads)
{
    SimulatedMouse mouse(kIdentity);
    mouse.setReplyLatency(std::chrono::microseconds(0));
    PresenceRecorder presence;
    presence.attach(mouse);
    std::atomic<bool> stop{false};

    std::thread host([&] {
        while (!stop) {
            const int fd = mouse.open();
            if (fd < 0) {
                std::this_thread::yield();
                continue;
            }
            HostEnd end(fd);
            for (int i = 0; i < 20 && !stop; ++i) {
                end.send(i % 2 == 0 ? makeGetLightRequest() : makeSetModeRequest(i % 3));
                end.read(5ms);
            }
        }
    });
    std::thread knobs([&] {
        for (int i = 0; !stop; ++i) {
            mouse.setSilent(i % 5 == 0);
            mouse.setReplyLatency(std::chrono::microseconds(i % 3 * 100));
            (void)mouse.firmwareState();
            (void)mouse.wireLog().records().size();
            (void)mouse.transferCount();
            std::this_thread::sleep_for(1ms);
        }
    });
    for (int i = 0; i < 30; ++i) {
        std::this_thread::sleep_for(5ms);
        mouse.unplug();
        mouse.plug();
    }
    stop = true;
    host.join();
    knobs.join();
    EXPECT_TRUE(mouse.isPlugged());
    const std::vector<bool> changes = presence.changes();
    ASSERT_EQ(changes.size(), 60u);
    for (std::size_t i = 0; i < changes.size(); ++i)
        EXPECT_EQ(changes[i], i % 2 == 1) << "removal and arrival alternate, at " << i;
}

} // namespace
