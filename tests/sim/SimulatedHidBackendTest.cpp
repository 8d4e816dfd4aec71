#include "sim/SimulatedHidBackend.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr SimulatedMouseIdentity kMouse{
    .vendorId = 0x1A2B, .productId = 0x3C4D, .interfaceNumber = 1, .releaseNumber = 0x0210, .firmwareVersion = 0x0105};
constexpr SimulatedMouseIdentity kOtherMouse{.vendorId = 0x0ABC, .productId = 0x0DEF, .interfaceNumber = 2};
const std::wstring kMousePath = L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_01#sim:0";

bool pollsReadable(int fd, std::chrono::milliseconds timeout)
{
    pollfd waiter{fd, POLLIN, 0};
    return ::poll(&waiter, 1, static_cast<int>(timeout.count())) == 1;
}

// Notices as (arrived, path) pairs, which compare and print.
using Notice = std::pair<bool, std::wstring>;

std::vector<Notice> drain(HidNoticeSource& source)
{
    std::vector<Notice> notices;
    while (auto notice = source.nextNotice())
        notices.emplace_back(notice->arrived, notice->path);
    return notices;
}

TEST(SimulatedHidBackend, ListsPluggedMiceInTheOrderTheyWereAdded)
{
    SimulatedHidBackend backend;
    SimulatedMouse& first = backend.addMouse(kMouse);
    backend.addMouse(kOtherMouse);
    const std::vector<std::wstring> expected = {kMousePath, L"\\\\?\\hid#vid_0abc&pid_0def&mi_02#sim:1"};
    EXPECT_EQ(backend.listInterfacePaths(), expected);
    EXPECT_EQ(backend.pathOf(first), kMousePath);

    first.unplug();
    EXPECT_EQ(backend.listInterfacePaths(), std::vector<std::wstring>{expected[1]});
    first.plug();
    EXPECT_EQ(backend.listInterfacePaths(), expected);
}

TEST(SimulatedHidBackend, ANamedCollectionAppearsInThePath)
{
    SimulatedHidBackend backend;
    SimulatedMouseIdentity identity = kMouse;
    identity.collectionNumber = 2;
    backend.addMouse(identity);
    EXPECT_EQ(backend.listInterfacePaths(),
              std::vector<std::wstring>{L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_01&col02#sim:0"});
}

TEST(SimulatedHidBackend, QueryGivesIdsReleaseAndAVendorCollectionOf64ByteReports)
{
    SimulatedHidBackend backend;
    backend.addMouse(kMouse);
    const HidInterfaceQuery query = backend.queryInterface(kMousePath);
    ASSERT_TRUE(query.details.has_value());
    EXPECT_GE(query.handle, 0);
    EXPECT_EQ(query.details->attributes.vendorId, 0x1A2B);
    EXPECT_EQ(query.details->attributes.productId, 0x3C4D);
    EXPECT_EQ(query.details->attributes.versionNumber, 0x0210);
    EXPECT_EQ(query.details->caps.usagePage, 0xFF00);
    EXPECT_EQ(query.details->caps.usage, 0x0001);
    EXPECT_EQ(query.details->caps.inputReportByteLength, 65);
    EXPECT_EQ(query.details->caps.outputReportByteLength, 65);
    EXPECT_EQ(query.details->caps.featureReportByteLength, 0);
    EXPECT_FALSE(query.details->reportIdsUsed);
}

TEST(SimulatedHidBackend, QueryOfAnAbsentMouseGivesNothing)
{
    SimulatedHidBackend backend;
    backend.addMouse(kMouse).unplug();
    const HidInterfaceQuery unplugged = backend.queryInterface(kMousePath);
    EXPECT_FALSE(unplugged.details.has_value());
    EXPECT_EQ(unplugged.handle, -1);
    EXPECT_FALSE(backend.queryInterface(L"\\\\?\\hid#vid_1a2b&pid_3c4d&mi_01#sim:7").details.has_value());
}

TEST(SimulatedHidBackend, OpeningANodeGivesADescriptorServedByTheFirmware)
{
    SimulatedHidBackend backend;
    backend.addMouse(kMouse);
    const int fd = backend.openNode("sim:0", HidNodeAccess::readWrite);
    ASSERT_GE(fd, 0);
    std::array<std::uint8_t, 65> transfer{};
    const MouseReport request = makeGetVersionRequest();
    std::copy(request.begin(), request.end(), transfer.begin() + 1);
    ASSERT_EQ(::write(fd, transfer.data(), transfer.size()), 65);
    ASSERT_TRUE(pollsReadable(fd, 1000ms));
    MouseReport reply{};
    EXPECT_EQ(::read(fd, reply.data(), reply.size()), 64);
    EXPECT_EQ(decodeVersionReply(reply), 0x0105);
    ::close(fd);
}

struct BadNodeCase {
    const char* name;
    const char* node;
    int error;
};

void PrintTo(const BadNodeCase& c, std::ostream* os)
{
    *os << c.name;
}

class SimulatedBadNodes : public ::testing::TestWithParam<BadNodeCase> {};

TEST_P(SimulatedBadNodes, DoNotOpen)
{
    SimulatedHidBackend backend;
    backend.addMouse(kMouse);
    errno = 0;
    EXPECT_EQ(backend.openNode(GetParam().node, HidNodeAccess::readWrite), -1);
    EXPECT_EQ(errno, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(SimulatedHidBackend, SimulatedBadNodes,
                         ::testing::Values(BadNodeCase{"UnknownNumber", "sim:1", ENOENT},
                                           BadNodeCase{"NoNumber", "sim:", ENOENT},
                                           BadNodeCase{"TrailingText", "sim:0x", ENOENT},
                                           BadNodeCase{"Negative", "sim:-1", ENOENT},
                                           BadNodeCase{"HugeNumber", "sim:99999999999999999999999", ENOENT},
                                           BadNodeCase{"KernelNode", "/dev/hidraw0", ENOENT},
                                           BadNodeCase{"Empty", "", ENOENT}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SimulatedHidBackend, AnUnpluggedMouseDoesNotOpen)
{
    SimulatedHidBackend backend;
    backend.addMouse(kMouse).unplug();
    errno = 0;
    EXPECT_EQ(backend.openNode("sim:0", HidNodeAccess::readWrite), -1);
    EXPECT_EQ(errno, ENODEV);
}

TEST(SimulatedHidBackend, HasNoFeatureReports)
{
    SimulatedHidBackend backend;
    backend.addMouse(kMouse);
    const int fd = backend.openNode("sim:0", HidNodeAccess::readWrite);
    std::uint8_t buffer[9] = {};
    errno = 0;
    EXPECT_EQ(backend.getFeatureReport(fd, buffer, sizeof buffer), -1);
    EXPECT_EQ(errno, EPIPE);
    errno = 0;
    EXPECT_EQ(backend.setFeatureReport(fd, buffer, sizeof buffer), -1);
    EXPECT_EQ(errno, EPIPE);
    ::close(fd);
}

TEST(SimulatedHidBackend, NoticesFollowPlugAndUnplug)
{
    SimulatedHidBackend backend;
    SimulatedMouse& mouse = backend.addMouse(kMouse);
    const std::unique_ptr<HidNoticeSource> source = backend.openNoticeSource();
    ASSERT_NE(source, nullptr);
    EXPECT_FALSE(pollsReadable(source->fd(), 0ms));
    EXPECT_FALSE(source->nextNotice().has_value());

    mouse.unplug();
    EXPECT_TRUE(pollsReadable(source->fd(), 0ms));
    mouse.plug();
    EXPECT_EQ(drain(*source), (std::vector<Notice>{{false, kMousePath}, {true, kMousePath}}));
    EXPECT_FALSE(pollsReadable(source->fd(), 0ms)) << "drained: nothing more to read";
}

TEST(SimulatedHidBackend, EverySourceHearsEveryNotice)
{
    SimulatedHidBackend backend;
    const std::unique_ptr<HidNoticeSource> first = backend.openNoticeSource();
    std::unique_ptr<HidNoticeSource> second = backend.openNoticeSource();
    SimulatedMouse& mouse = backend.addMouse(kMouse);
    second.reset();
    mouse.unplug();
    EXPECT_EQ(drain(*first), (std::vector<Notice>{{true, kMousePath}, {false, kMousePath}}));
}

TEST(SimulatedHidBackend, FactoryResetIsARemovalThenAnArrival)
{
    SimulatedHidBackend backend;
    SimulatedMouse& mouse = backend.addMouse(kMouse);
    mouse.setRestartTiming(0ms, 20ms);
    const std::unique_ptr<HidNoticeSource> source = backend.openNoticeSource();
    const int fd = backend.openNode("sim:0", HidNodeAccess::readWrite);
    std::array<std::uint8_t, 65> transfer{};
    const MouseReport request = makeFactoryResetRequest();
    std::copy(request.begin(), request.end(), transfer.begin() + 1);
    ASSERT_EQ(::write(fd, transfer.data(), transfer.size()), 65);

    std::vector<Notice> notices;
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (notices.size() < 2 && std::chrono::steady_clock::now() < deadline)
        if (pollsReadable(source->fd(), 100ms))
            for (const Notice& notice : drain(*source))
                notices.push_back(notice);
    EXPECT_EQ(notices, (std::vector<Notice>{{false, kMousePath}, {true, kMousePath}}));
    ::close(fd);
}

} // namespace
