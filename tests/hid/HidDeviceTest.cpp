#include "BackendGuard.h"
#include "SocketPairBackend.h"
#include "TraceCapture.h"

#include "hid/HidDevice.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <future>
#include <numeric>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

constexpr const wchar_t* kMousePath = L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_01#sock:mouse";
constexpr const wchar_t* kOtherMousePath = L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_01#sock:other";
constexpr int kShortTimeoutMs = 150;
constexpr int kPeerWaitMs = 2000;

// The vendor interface of the mouse: 64-byte reports without report ids.
HidInterfaceDetails vendorInterface(uint16_t inputLength = 65, uint16_t outputLength = 65, bool reportIds = false)
{
    HidInterfaceDetails details;
    details.attributes = {0x1a2b, 0x3c4d, 0x0105};
    details.caps = {0x01, 0xFF00, inputLength, outputLength, 0};
    details.reportIdsUsed = reportIds;
    return details;
}

Bytes sequence(size_t length, uint8_t first)
{
    Bytes bytes(length);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

long elapsedMs(Clock::time_point since)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

class HidDeviceTest : public testing::Test {
protected:
    explicit HidDeviceTest(HidInterfaceDetails details = vendorInterface())
        : backend_({{kMousePath, details}, {kOtherMousePath, details}}), guard_(backend_)
    {
    }

    void open(HidDevice& device, const wchar_t* path = kMousePath)
    {
        ASSERT_EQ(device.openDeviceByPath(HidDevice::kApplicationAccessFlags, path), 1);
    }

    SocketPairBackend backend_;
    BackendGuard guard_;
    TraceCapture trace_;
};

TEST_F(HidDeviceTest, WriteReportSendsReportIdZeroThenTheReport)
{
    HidDevice device;
    open(device);
    std::array<uint8_t, HidDevice::kReportSize> report{};
    report[0] = 0x07;
    report[1] = 0xF7;
    report[63] = 0x5A;
    EXPECT_EQ(device.writeReport(report), 65);

    const Bytes sent = receivePacket(backend_.peer(0), kPeerWaitMs);
    ASSERT_EQ(sent.size(), 65u);
    EXPECT_EQ(sent[0], 0x00);
    EXPECT_EQ(sent[1], 0x07);
    EXPECT_EQ(sent[2], 0xF7);
    EXPECT_EQ(sent[64], 0x5A);
}

TEST_F(HidDeviceTest, RoundTripOfOneReport)
{
    HidDevice device;
    open(device);
    std::array<uint8_t, HidDevice::kReportSize> request{};
    request[0] = 0x07;
    request[1] = 0xF3;
    ASSERT_EQ(device.writeReport(request), 65);

    std::thread firmware([&] {
        const Bytes received = receivePacket(backend_.peer(0), kPeerWaitMs);
        // A device without report ids sends its 64 bytes without one.
        Bytes reply(received.begin() + 1, received.end());
        reply[2] = 0x02;
        EXPECT_TRUE(sendPacket(backend_.peer(0), reply));
    });
    std::array<uint8_t, HidDevice::kReportSize> reply{};
    EXPECT_EQ(device.readReport(reply), 65);
    firmware.join();
    EXPECT_EQ(reply[0], 0x07);
    EXPECT_EQ(reply[1], 0xF3);
    EXPECT_EQ(reply[2], 0x02);
}

TEST_F(HidDeviceTest, ReadOfAWaitingReportTracesItsBytes)
{
    HidDevice device;
    open(device);
    ASSERT_TRUE(sendPacket(backend_.peer(0), sequence(64, 1)));
    trace_.clear();
    std::array<uint8_t, HidDevice::kReportSize> reply{};
    ASSERT_EQ(device.readReport(reply), 65);

    const auto lines = trace_.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind(L"读(异步)USB设备 handle=", 0), 0u);
    EXPECT_NE(lines[0].find(L", len=65, timeout=3000\n"), std::wstring::npos);
    EXPECT_EQ(lines[1].substr(0, 12), L"00 01 02 03 ");
    EXPECT_EQ(lines[1].size(), 65u * 3);  // 65 pairs, 64 separators, the newline
    EXPECT_EQ(lines[2], L"已读长度为 65\n");
}

TEST_F(HidDeviceTest, ReadThatWaitsTracesTheCompletion)
{
    HidDevice device;
    open(device);
    std::thread firmware([&] {
        std::this_thread::sleep_for(50ms);
        EXPECT_TRUE(sendPacket(backend_.peer(0), sequence(64, 0)));
    });
    Bytes buffer(65);
    EXPECT_EQ(device.read(buffer.data(), buffer.size(), kPeerWaitMs), 65);
    firmware.join();
    bool sawCompletion = false;
    for (const auto& line : trace_.lines())
        sawCompletion = sawCompletion || line.rfind(L"asynchronous read succeed : ", 0) == 0;
    EXPECT_TRUE(sawCompletion);
}

TEST_F(HidDeviceTest, NumberedReportsKeepTheirReportIdByte)
{
    SocketPairBackend numbered({{kMousePath, vendorInterface(65, 65, true)}});
    BackendGuard numberedGuard(numbered);
    HidDevice device;
    open(device);
    Bytes report = sequence(65, 0);
    report[0] = 0x05;
    ASSERT_TRUE(sendPacket(numbered.peer(0), report));
    Bytes buffer(65);
    ASSERT_EQ(device.read(buffer.data(), buffer.size(), kShortTimeoutMs), 65);
    EXPECT_EQ(buffer, report);
}

TEST_F(HidDeviceTest, ReadTimesOutWithZero)
{
    HidDevice device;
    open(device);
    Bytes buffer(65);
    const auto start = Clock::now();
    EXPECT_EQ(device.read(buffer.data(), buffer.size(), kShortTimeoutMs), 0);
    EXPECT_GE(elapsedMs(start), kShortTimeoutMs);
    EXPECT_TRUE(trace_.contains(L"超时索引错误(997)\n"));
    EXPECT_TRUE(trace_.contains(L"已读长度为 0\n"));
}

TEST_F(HidDeviceTest, ReadReportGivesUpAfterThreeSeconds)
{
    HidDevice device;
    open(device);
    std::array<uint8_t, HidDevice::kReportSize> reply{};
    const auto start = Clock::now();
    EXPECT_EQ(device.readReport(reply), 0);
    const long elapsed = elapsedMs(start);
    EXPECT_GE(elapsed, HidDevice::kTransferTimeoutMs);
    EXPECT_LT(elapsed, HidDevice::kTransferTimeoutMs + 1000);
    EXPECT_TRUE(trace_.contains(L"超时索引错误(997)\n"));
}

TEST_F(HidDeviceTest, TimeOutOfZeroOrLessMovesNothing)
{
    HidDevice device;
    open(device);
    ASSERT_TRUE(sendPacket(backend_.peer(0), sequence(64, 0)));
    Bytes buffer(65);
    EXPECT_EQ(device.read(buffer.data(), buffer.size(), 0), 0);
    EXPECT_EQ(device.read(buffer.data(), buffer.size(), -5), 0);
    EXPECT_EQ(device.write(buffer.data(), buffer.size(), 0), 0);
    // A negative write time-out does not wait forever: it writes nothing.
    EXPECT_EQ(device.write(buffer.data(), buffer.size(), -1), 0);
    EXPECT_TRUE(receivePacket(backend_.peer(0), 50).empty());
    // The report sent before is still waiting.
    EXPECT_EQ(device.read(buffer.data(), buffer.size(), kShortTimeoutMs), 65);
}

struct ClampCase {
    const char* name;
    uint16_t inputLength;
    uint16_t outputLength;
    int readCount;
    size_t writtenBytes;
};

const ClampCase kClampCases[] = {
    {"ShorterReportsClamp", 9, 9, 9, 9},
    {"ZeroLeavesTheRequest", 0, 0, 65, 65},
    {"LongerReportsLeaveTheRequest", 100, 100, 65, 65},
};

class CapabilityClamp : public HidDeviceTest, public testing::WithParamInterface<ClampCase> {
protected:
    CapabilityClamp() : HidDeviceTest(vendorInterface(GetParam().inputLength, GetParam().outputLength)) {}
};

TEST_P(CapabilityClamp, LimitsTransfersToTheReportLengths)
{
    const ClampCase& c = GetParam();
    HidDevice device;
    open(device);
    EXPECT_EQ(device.capabilities().inputReportByteLength, c.inputLength);

    ASSERT_TRUE(sendPacket(backend_.peer(0), sequence(64, 1)));
    std::array<uint8_t, HidDevice::kReportSize> reply{};
    EXPECT_EQ(device.readReport(reply), c.readCount);
    EXPECT_EQ(reply[0], 1);
    EXPECT_EQ(reply[c.readCount - 2], c.readCount - 1);  // the last byte asked for arrived

    std::array<uint8_t, HidDevice::kReportSize> request{};
    EXPECT_EQ(device.writeReport(request), static_cast<int>(c.writtenBytes));
    EXPECT_EQ(receivePacket(backend_.peer(0), kPeerWaitMs).size(), c.writtenBytes);
}

INSTANTIATE_TEST_SUITE_P(Lengths, CapabilityClamp, testing::ValuesIn(kClampCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HidDeviceTest, TwoReadsExcludeEachOtherEvenOnTwoDevices)
{
    HidDevice first;
    HidDevice second;
    open(first, kMousePath);
    open(second, kOtherMousePath);
    const auto start = Clock::now();
    auto readOn = [](HidDevice& device) {
        Bytes buffer(65);
        return device.read(buffer.data(), buffer.size(), kShortTimeoutMs);
    };
    auto a = std::async(std::launch::async, readOn, std::ref(first));
    auto b = std::async(std::launch::async, readOn, std::ref(second));
    EXPECT_EQ(a.get(), 0);
    EXPECT_EQ(b.get(), 0);
    EXPECT_GE(elapsedMs(start), 2 * kShortTimeoutMs);
}

TEST_F(HidDeviceTest, WriteIsNotBlockedByARunningRead)
{
    HidDevice device;
    open(device);
    auto pendingRead = std::async(std::launch::async, [&] {
        Bytes buffer(65);
        return device.read(buffer.data(), buffer.size(), 1500);
    });
    std::this_thread::sleep_for(50ms);
    const auto start = Clock::now();
    std::array<uint8_t, HidDevice::kReportSize> request{};
    EXPECT_EQ(device.writeReport(request), 65);
    EXPECT_LT(elapsedMs(start), 500);
    // Let the read finish: the device answers.
    EXPECT_EQ(receivePacket(backend_.peer(0), kPeerWaitMs).size(), 65u);
    ASSERT_TRUE(sendPacket(backend_.peer(0), sequence(64, 0)));
    EXPECT_EQ(pendingRead.get(), 65);
}

TEST_F(HidDeviceTest, OpeningAnOpenDeviceClosesTheOldDescriptor)
{
    HidDevice device;
    open(device, kMousePath);
    open(device, kOtherMousePath);
    EXPECT_TRUE(peerSeesHangUp(backend_.peer(0), kPeerWaitMs));
    std::array<uint8_t, HidDevice::kReportSize> request{};
    EXPECT_EQ(device.writeReport(request), 65);
    EXPECT_EQ(receivePacket(backend_.peer(1), kPeerWaitMs).size(), 65u);
    EXPECT_EQ(backend_.openedNodes(), (std::vector<std::string>{"sock:mouse", "sock:other"}));
}

TEST_F(HidDeviceTest, PeerGoingAwayEndsAReadAtOnce)
{
    HidDevice device;
    open(device);
    auto pendingRead = std::async(std::launch::async, [&] {
        Bytes buffer(65);
        return device.read(buffer.data(), buffer.size(), HidDevice::kTransferTimeoutMs);
    });
    std::this_thread::sleep_for(50ms);
    const auto start = Clock::now();
    backend_.closePeer(0);
    EXPECT_EQ(pendingRead.get(), 0);
    EXPECT_LT(elapsedMs(start), 500);
}

TEST_F(HidDeviceTest, WriteToAVanishedPeerFailsWithoutSignal)
{
    HidDevice device;
    open(device);
    backend_.closePeer(0);
    std::array<uint8_t, HidDevice::kReportSize> request{};
    EXPECT_EQ(device.writeReport(request), 0);
    EXPECT_TRUE(trace_.contains(L"已写长度为 0\n"));
}

TEST_F(HidDeviceTest, CloseDuringAReadWakesItAndThenClosesTheDescriptor)
{
    HidDevice device;
    open(device);
    auto pendingRead = std::async(std::launch::async, [&] {
        Bytes buffer(65);
        return device.read(buffer.data(), buffer.size(), HidDevice::kTransferTimeoutMs);
    });
    std::this_thread::sleep_for(50ms);
    const auto start = Clock::now();
    device.close();
    EXPECT_EQ(pendingRead.get(), 0);
    EXPECT_LT(elapsedMs(start), 500);
    EXPECT_TRUE(peerSeesHangUp(backend_.peer(0), kPeerWaitMs));
    Bytes buffer(65);
    EXPECT_EQ(device.read(buffer.data(), buffer.size(), kShortTimeoutMs), 0);
}

TEST_F(HidDeviceTest, AbortEventEndsAReadAndIsReset)
{
    HidDevice device;
    open(device);
    const int abortEvent = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    ASSERT_GE(abortEvent, 0);
    auto pendingRead = std::async(std::launch::async, [&] {
        Bytes buffer(65);
        return device.read(buffer.data(), buffer.size(), HidDevice::kTransferTimeoutMs, abortEvent);
    });
    std::this_thread::sleep_for(50ms);
    const uint64_t one = 1;
    ASSERT_EQ(::write(abortEvent, &one, sizeof one), static_cast<ssize_t>(sizeof one));
    EXPECT_EQ(pendingRead.get(), 0);

    pollfd event{abortEvent, POLLIN, 0};
    EXPECT_EQ(::poll(&event, 1, 0), 0) << "the abort event was left signalled";
    wchar_t expected[32];
    std::swprintf(expected, std::size(expected), L"read abort : %04x", static_cast<unsigned>(abortEvent));
    EXPECT_TRUE(trace_.contains(expected));
    ::close(abortEvent);
}

TEST_F(HidDeviceTest, WriteWaitsForRoomAndTimesOut)
{
    HidDevice device;
    open(device);
    // The peer reads nothing: its queue fills up and a write has to wait.
    Bytes report(65);
    // The bound only keeps a broken socket from looping forever.
    constexpr int kMaxQueuedReports = 100000;
    int accepted = 0;
    while (accepted < kMaxQueuedReports && device.write(report.data(), report.size(), 50) == 65)
        ++accepted;
    ASSERT_LT(accepted, kMaxQueuedReports);
    EXPECT_GT(accepted, 0);
    EXPECT_TRUE(trace_.contains(L"超时索引错误\n"));

    // Room appears while the next write waits (the device takes its queue):
    // the write completes.
    trace_.clear();
    std::thread firmware([&] {
        std::this_thread::sleep_for(50ms);
        int drained = 0;
        while (!receivePacket(backend_.peer(0), 0).empty())
            ++drained;
        // The waiting write may land while the queue drains.
        EXPECT_GE(drained, accepted);
    });
    EXPECT_EQ(device.write(report.data(), report.size(), kPeerWaitMs), 65);
    firmware.join();
    bool sawCompletion = false;
    for (const auto& line : trace_.lines())
        sawCompletion = sawCompletion || line.rfind(L"asynchronous write succeed : ", 0) == 0;
    EXPECT_TRUE(sawCompletion);
}

TEST_F(HidDeviceTest, WriteTraceLines)
{
    HidDevice device;
    open(device);
    trace_.clear();
    std::array<uint8_t, HidDevice::kReportSize> request{};
    ASSERT_EQ(device.writeReport(request), 65);
    const auto lines = trace_.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind(L"写(异步)USB设备 handle=", 0), 0u);
    EXPECT_NE(lines[0].find(L", len=65, timeout=3000\n"), std::wstring::npos);
    EXPECT_EQ(lines[1], L"正在写入... 65\n");
    EXPECT_EQ(lines[2], L"已写长度为 65\n");
}

TEST_F(HidDeviceTest, FailedOpenKeepsTheInvalidHandleUntilClose)
{
    HidDevice device;
    backend_.setOpenFails(true);
    EXPECT_EQ(device.openDeviceByPath(HidDevice::kApplicationAccessFlags, kMousePath), 0);
    EXPECT_TRUE(trace_.contains(L"open dev: ffffffff\n"));

    trace_.clear();
    std::array<uint8_t, HidDevice::kReportSize> report{};
    const auto start = Clock::now();
    EXPECT_EQ(device.readReport(report), 0);
    EXPECT_EQ(device.writeReport(report), 0);
    EXPECT_LT(elapsedMs(start), 100);
    // Transfers on the invalid handle are attempted and fail.
    const auto lines = trace_.lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines[0].find(L"handle=ffffffff"), std::wstring::npos);
    EXPECT_TRUE(trace_.contains(L"已读长度为 0\n"));
    EXPECT_TRUE(trace_.contains(L"已写长度为 0\n"));

    // Closed, nothing is attempted at all.
    device.close();
    trace_.clear();
    EXPECT_EQ(device.readReport(report), 0);
    EXPECT_EQ(device.writeReport(report), 0);
    EXPECT_TRUE(trace_.lines().empty());
}

TEST_F(HidDeviceTest, NullPathOpensNothing)
{
    HidDevice device;
    EXPECT_EQ(device.openDeviceByPath(HidDevice::kApplicationAccessFlags, nullptr), 0);
    EXPECT_TRUE(backend_.openedNodes().empty());
}

struct AccessCase {
    const char* name;
    uint32_t flags;
    HidNodeAccess access;
};

const AccessCase kAccessCases[] = {
    {"ReadAndWrite", 0xC0000003, HidNodeAccess::readWrite},
    {"ReadOnly", 0x80000001, HidNodeAccess::read},
    {"WriteOnly", 0x40000002, HidNodeAccess::write},
    {"QueryOnly", 0x00000003, HidNodeAccess::none},
};

class AccessFlags : public HidDeviceTest, public testing::WithParamInterface<AccessCase> {};

TEST_P(AccessFlags, TopByteSelectsTheAccess)
{
    HidDevice device;
    ASSERT_EQ(device.openDeviceByPath(GetParam().flags, kMousePath), 1);
    ASSERT_EQ(backend_.openedAccess().size(), 1u);
    EXPECT_EQ(backend_.openedAccess()[0], GetParam().access);
}

INSTANTIATE_TEST_SUITE_P(Flags, AccessFlags, testing::ValuesIn(kAccessCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HidDeviceTest, CapabilitiesAreZeroUntilOpened)
{
    HidDevice device;
    EXPECT_EQ(device.capabilities().inputReportByteLength, 0);
    EXPECT_EQ(device.capabilities().usagePage, 0);
    open(device);
    EXPECT_EQ(device.capabilities().inputReportByteLength, 65);
    EXPECT_EQ(device.capabilities().usagePage, 0xFF00);
}

TEST_F(HidDeviceTest, FeatureReportsWithAReportId)
{
    HidDevice device;
    open(device);
    backend_.setFeatureAnswer({0x03, 0xAA, 0xBB, 0xCC});
    uint8_t answer[3] = {};
    EXPECT_EQ(device.getFeature(0x03, answer, sizeof answer), 1);
    EXPECT_EQ(answer[0], 0xAA);
    EXPECT_EQ(answer[2], 0xCC);

    const uint8_t setting[2] = {0x11, 0x22};
    EXPECT_EQ(device.setFeature(0x04, setting, sizeof setting), 1);

    const auto requests = backend_.featureRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].size(), 4u);
    EXPECT_EQ(requests[0][0], 0x03);
    EXPECT_EQ(requests[1], (Bytes{0x04, 0x11, 0x22}));
}

TEST_F(HidDeviceTest, PlainFeatureReportsPassTheBufferThrough)
{
    HidDevice device;
    open(device);
    const uint8_t setting[3] = {0x00, 0x01, 0x02};
    EXPECT_EQ(device.setFeature(setting, sizeof setting), 1);
    uint8_t buffer[3] = {0x00};
    EXPECT_EQ(device.getFeature(buffer, 0), 0);
    EXPECT_EQ(device.getFeature(nullptr, 3), 0);
    const auto requests = backend_.featureRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0], (Bytes{0x00, 0x01, 0x02}));
}

TEST_F(HidDeviceTest, FeatureReportsNeedAnOpenDevice)
{
    HidDevice device;
    uint8_t buffer[4] = {};
    EXPECT_EQ(device.getFeature(buffer, sizeof buffer), 0);
    EXPECT_EQ(device.setFeature(0x01, buffer, sizeof buffer), 0);
    EXPECT_TRUE(backend_.featureRequests().empty());
}

TEST_F(HidDeviceTest, OutputAndInputReportCallsTransferNothing)
{
    HidDevice device;
    open(device);
    uint8_t buffer[65] = {};
    EXPECT_EQ(device.setOutputReport(buffer, sizeof buffer), 0);
    EXPECT_EQ(device.getInputReport(buffer, sizeof buffer), 0);
    EXPECT_TRUE(receivePacket(backend_.peer(0), 50).empty());
}

TEST_F(HidDeviceTest, OpenByIdsTakesTheFirstMatchAndItsReleaseNumber)
{
    HidDevice device;
    const int32_t products[] = {0x3c4d};
    uint16_t release = 0;
    EXPECT_EQ(device.openDeviceByIds(0x1a2b, 1, products, 1, -1, &release, HidDevice::kApplicationAccessFlags), 1);
    EXPECT_EQ(release, 0x0105);
    EXPECT_EQ(backend_.openedNodes(), (std::vector<std::string>{"sock:mouse"}));
}

TEST_F(HidDeviceTest, OpenByIdWithProductZeroAcceptsAnyProduct)
{
    HidDevice device;
    EXPECT_EQ(device.openDeviceById(0x1a2b, 0, 1, -1), 1);
    EXPECT_EQ(backend_.openedNodes(), (std::vector<std::string>{"sock:mouse"}));
}

TEST_F(HidDeviceTest, OpenByIdWithoutMatchOpensNothing)
{
    HidDevice device;
    EXPECT_EQ(device.openDeviceById(0x1a2b, 0x9999, 1, -1), 0);
    EXPECT_EQ(device.openDeviceById(0x1a2b, 0x3c4d, 0, -1), 0);
    EXPECT_TRUE(backend_.openedNodes().empty());
}

}  // namespace
