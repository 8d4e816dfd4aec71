// The firmware's uhid transport against stand-ins for the kernel's end of
// both interfaces: what it creates, which reports reach the firmware, what
// goes back, and how it behaves off the bus.

#include "FakeUhidKernel.h"

#include "sim/SimulatedMouse.h"
#include "sim/UhidDescriptors.h"
#include "sim/UhidTransport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr SimulatedMouseIdentity kIdentity{0x1A2B, 0x3C4D, 1, -1, 0x0100, 0x0105};
constexpr int kWaitMs = 2000;

std::vector<std::uint8_t> bytesOf(std::span<const std::uint8_t> bytes)
{
    return {bytes.begin(), bytes.end()};
}

std::unique_ptr<uhid_event> outputEvent(const std::vector<std::uint8_t>& transfer)
{
    auto event = makeUhidEvent(UHID_OUTPUT);
    std::copy(transfer.begin(), transfer.end(), event->u.output.data);
    event->u.output.size = static_cast<std::uint16_t>(transfer.size());
    return event;
}

// The report-ID byte 0, then a request of the mouse's command set.
std::vector<std::uint8_t> commandTransfer(std::uint8_t command)
{
    std::vector<std::uint8_t> transfer(kMouseReportSize + 1, 0);
    transfer[1] = kMouseReportTag;
    transfer[2] = command;
    return transfer;
}

MouseReport commandReport(std::uint8_t command)
{
    MouseReport report{};
    report[0] = kMouseReportTag;
    report[1] = command;
    return report;
}

class UhidTransportTest : public ::testing::Test {
protected:
    FakeUhidKernel vendorKernel;
    FakeUhidKernel pointerKernel;
    UhidTransport transport{kIdentity, std::make_unique<UhidDevice>(vendorKernel.takeDeviceEnd()),
                            std::make_unique<UhidDevice>(pointerKernel.takeDeviceEnd())};
    int vendorDescriptor = -1;
    int pointerDescriptor = -1;

    void SetUp() override
    {
        std::vector<int> descriptors;
        transport.appendWaitDescriptors(descriptors);
        ASSERT_EQ(descriptors.size(), 2u);
        vendorDescriptor = descriptors[0];
        pointerDescriptor = descriptors[1];
    }

    void attach()
    {
        transport.attach();
        ASSERT_TRUE(vendorKernel.nextRequest());
        ASSERT_TRUE(pointerKernel.nextRequest());
    }
};

TEST_F(UhidTransportTest, AttachCreatesBothInterfacesAsTheMousePresentsThem)
{
    transport.attach();

    const auto pointer = pointerKernel.nextRequest();
    const auto vendor = vendorKernel.nextRequest();
    ASSERT_TRUE(pointer);
    ASSERT_TRUE(vendor);
    ASSERT_EQ(pointer->type, UHID_CREATE2);
    ASSERT_EQ(vendor->type, UHID_CREATE2);
    EXPECT_STREQ(reinterpret_cast<const char*>(pointer->u.create2.phys), "usb-0000:00:14.0-2/input0");
    EXPECT_STREQ(reinterpret_cast<const char*>(vendor->u.create2.phys), "usb-0000:00:14.0-2/input1");
    for (const auto* create : {&pointer->u.create2, &vendor->u.create2}) {
        EXPECT_STREQ(reinterpret_cast<const char*>(create->name), kUhidMouseName);
        EXPECT_EQ(create->bus, kUhidBusUsb);
        EXPECT_EQ(create->vendor, kIdentity.vendorId);
        EXPECT_EQ(create->product, kIdentity.productId);
        EXPECT_EQ(create->version, kIdentity.releaseNumber);
    }
    EXPECT_EQ(std::vector<std::uint8_t>(pointer->u.create2.rd_data,
                                        pointer->u.create2.rd_data + pointer->u.create2.rd_size),
              bytesOf(pointerInterfaceDescriptor()));
    EXPECT_EQ(std::vector<std::uint8_t>(vendor->u.create2.rd_data,
                                        vendor->u.create2.rd_data + vendor->u.create2.rd_size),
              bytesOf(vendorInterfaceDescriptor()));
    EXPECT_EQ(transport.lastError(), 0);
}

TEST_F(UhidTransportTest, AttachingTwiceCreatesNothingMore)
{
    attach();
    transport.attach();
    EXPECT_FALSE(vendorKernel.nextRequest());
    EXPECT_FALSE(pointerKernel.nextRequest());
    EXPECT_EQ(transport.lastError(), 0);
}

TEST_F(UhidTransportTest, DetachDestroysBothInterfaces)
{
    attach();
    transport.detach();
    for (FakeUhidKernel* kernel : {&vendorKernel, &pointerKernel}) {
        const auto request = kernel->nextRequest();
        ASSERT_TRUE(request);
        EXPECT_EQ(request->type, UHID_DESTROY);
    }
}

TEST_F(UhidTransportTest, HostsOpenTheKernelsNodeNotTheTransport)
{
    attach();
    errno = 0;
    EXPECT_EQ(transport.openHostEnd(), -1);
    EXPECT_EQ(errno, EOPNOTSUPP);
}

struct OutputCase {
    const char* name;
    std::vector<std::uint8_t> transfer;
    bool reachesTheFirmware;
};

class UhidTransportOutput : public UhidTransportTest, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(UhidTransportOutput, OnlyWholeUnnumberedReportsReachTheFirmware)
{
    attach();
    ASSERT_TRUE(vendorKernel.sendEvent(*outputEvent(GetParam().transfer)));

    const std::vector<MouseReport> reports = transport.receive(vendorDescriptor);
    if (!GetParam().reachesTheFirmware) {
        EXPECT_TRUE(reports.empty());
        return;
    }
    ASSERT_EQ(reports.size(), 1u);
    MouseReport expected{};
    std::copy(GetParam().transfer.begin() + 1, GetParam().transfer.end(), expected.begin());
    EXPECT_EQ(reports[0], expected);
}

INSTANTIATE_TEST_SUITE_P(
    Transfers, UhidTransportOutput,
    ::testing::Values(OutputCase{"ReportIdZeroThenTheReport", commandTransfer(0xF9), true},
                      OutputCase{"ShortReportIsPadded", {0x00, 0x07, 0xF7}, true},
                      OutputCase{"NumberedReport", {0x02, 0x07, 0xF9}, false},
                      OutputCase{"LongerThanAReport", std::vector<std::uint8_t>(kMouseReportSize + 2, 0), false},
                      OutputCase{"Empty", {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UhidTransportTest, EveryQueuedReportIsTakenInOrder)
{
    attach();
    for (std::uint8_t command : {0xF9, 0xF3, 0xF6})
        ASSERT_TRUE(vendorKernel.sendEvent(*outputEvent(commandTransfer(command))));

    EXPECT_EQ(transport.receive(vendorDescriptor),
              (std::vector<MouseReport>{commandReport(0xF9), commandReport(0xF3), commandReport(0xF6)}));
}

TEST_F(UhidTransportTest, ReportsOnThePointerInterfaceAreNotCommands)
{
    attach();
    ASSERT_TRUE(pointerKernel.sendEvent(*outputEvent(commandTransfer(0xF9))));
    EXPECT_TRUE(transport.receive(pointerDescriptor).empty());
}

TEST_F(UhidTransportTest, OutputQueuedBeforeADetachIsDropped)
{
    attach();
    ASSERT_TRUE(vendorKernel.sendEvent(*outputEvent(commandTransfer(0xF9))));
    transport.detach();
    EXPECT_TRUE(transport.receive(vendorDescriptor).empty());
}

struct FeatureRequestCase {
    const char* name;
    unsigned type;
    unsigned expectedAnswer;
    bool onPointer;
};

class UhidTransportFeatureRequest : public UhidTransportTest,
                                    public ::testing::WithParamInterface<FeatureRequestCase> {};

TEST_P(UhidTransportFeatureRequest, IsRefusedAtOnce)
{
    const FeatureRequestCase& row = GetParam();
    attach();
    FakeUhidKernel& kernel = row.onPointer ? pointerKernel : vendorKernel;
    auto request = makeUhidEvent(row.type);
    // get_report and set_report both begin with the request id.
    request->u.get_report.id = 77;
    ASSERT_TRUE(kernel.sendEvent(*request));

    EXPECT_TRUE(transport.receive(row.onPointer ? pointerDescriptor : vendorDescriptor).empty());
    const auto answer = kernel.nextRequest();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->type, row.expectedAnswer);
    if (row.expectedAnswer == UHID_GET_REPORT_REPLY) {
        EXPECT_EQ(answer->u.get_report_reply.id, 77u);
        EXPECT_NE(answer->u.get_report_reply.err, 0);
    } else {
        EXPECT_EQ(answer->u.set_report_reply.id, 77u);
        EXPECT_NE(answer->u.set_report_reply.err, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Requests, UhidTransportFeatureRequest,
    ::testing::Values(FeatureRequestCase{"GetOnVendor", UHID_GET_REPORT, UHID_GET_REPORT_REPLY, false},
                      FeatureRequestCase{"SetOnVendor", UHID_SET_REPORT, UHID_SET_REPORT_REPLY, false},
                      FeatureRequestCase{"GetOnPointer", UHID_GET_REPORT, UHID_GET_REPORT_REPLY, true},
                      FeatureRequestCase{"SetOnPointer", UHID_SET_REPORT, UHID_SET_REPORT_REPLY, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UhidTransportTest, RepliesGoOutAsInputReportsOfTheVendorInterfaceWhileAttached)
{
    transport.send(commandReport(0xF9));
    EXPECT_FALSE(vendorKernel.nextRequest());

    attach();
    MouseReport reply{};
    reply[0] = 0x01;
    reply[1] = 0x05;
    transport.send(reply);
    const auto input = vendorKernel.nextRequest();
    ASSERT_TRUE(input);
    EXPECT_EQ(input->type, UHID_INPUT2);
    ASSERT_EQ(input->u.input2.size, kMouseReportSize);
    EXPECT_EQ(std::memcmp(input->u.input2.data, reply.data(), kMouseReportSize), 0);
    EXPECT_FALSE(pointerKernel.nextRequest());
    EXPECT_EQ(transport.lastError(), 0);
}

TEST_F(UhidTransportTest, OpenCountFollowsTheVendorInterfacesFirstOpenAndLastClose)
{
    attach();
    EXPECT_EQ(transport.openConnectionCount(), 0u);

    ASSERT_TRUE(pointerKernel.sendEvent(*makeUhidEvent(UHID_OPEN)));
    transport.receive(pointerDescriptor);
    EXPECT_EQ(transport.openConnectionCount(), 0u);

    ASSERT_TRUE(vendorKernel.sendEvent(*makeUhidEvent(UHID_OPEN)));
    transport.receive(vendorDescriptor);
    EXPECT_EQ(transport.openConnectionCount(), 1u);

    ASSERT_TRUE(pointerKernel.sendEvent(*makeUhidEvent(UHID_CLOSE)));
    transport.receive(pointerDescriptor);
    EXPECT_EQ(transport.openConnectionCount(), 1u);

    ASSERT_TRUE(vendorKernel.sendEvent(*makeUhidEvent(UHID_CLOSE)));
    transport.receive(vendorDescriptor);
    EXPECT_EQ(transport.openConnectionCount(), 0u);
}

TEST_F(UhidTransportTest, DetachForgetsAnOpenHost)
{
    attach();
    ASSERT_TRUE(vendorKernel.sendEvent(*makeUhidEvent(UHID_OPEN)));
    transport.receive(vendorDescriptor);
    transport.detach();
    EXPECT_EQ(transport.openConnectionCount(), 0u);
}

TEST_F(UhidTransportTest, ABrokenDescriptorIsNoLongerWaitedOn)
{
    attach();
    vendorKernel.hangUp();

    EXPECT_TRUE(transport.receive(vendorDescriptor).empty());
    EXPECT_EQ(transport.lastError(), EIO);
    std::vector<int> descriptors;
    transport.appendWaitDescriptors(descriptors);
    EXPECT_EQ(descriptors, std::vector<int>{pointerDescriptor});
    EXPECT_TRUE(transport.receive(vendorDescriptor).empty());
}

TEST_F(UhidTransportTest, AnUnknownDescriptorGivesNothing)
{
    attach();
    EXPECT_TRUE(transport.receive(-1).empty());
    EXPECT_EQ(transport.lastError(), 0);
}

// open() on a FIFO stands in for the node: every request of every
// interface lands in the one pipe, so the number of events in it shows how
// many interfaces were made.
class UhidTransportOpen : public ::testing::Test {
protected:
    std::string node = ::testing::TempDir() + "uhid-node-" + std::to_string(::getpid());

    void SetUp() override { ASSERT_EQ(::mkfifo(node.c_str(), 0600), 0); }
    void TearDown() override { std::remove(node.c_str()); }

    std::size_t eventsWritten() const
    {
        const int reader = ::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (reader < 0)
            return 0;
        std::size_t total = 0;
        std::vector<char> buffer(sizeof(uhid_event));
        for (ssize_t received; (received = ::read(reader, buffer.data(), buffer.size())) > 0;)
            total += static_cast<std::size_t>(received);
        ::close(reader);
        return total / sizeof(uhid_event);
    }
};

struct OpenCase {
    const char* name;
    int interfaceNumber;
    std::size_t interfacesCreated;
};

class UhidTransportInterfaces : public UhidTransportOpen, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(UhidTransportInterfaces, APointerInterfaceSitsBesideAVendorInterfaceOtherThanZero)
{
    SimulatedMouseIdentity identity = kIdentity;
    identity.interfaceNumber = GetParam().interfaceNumber;
    const auto transport = UhidTransport::open(identity, node.c_str());
    ASSERT_NE(transport, nullptr);

    transport->attach();
    EXPECT_EQ(eventsWritten(), GetParam().interfacesCreated);
    std::vector<int> descriptors;
    transport->appendWaitDescriptors(descriptors);
    EXPECT_EQ(descriptors.size(), GetParam().interfacesCreated);
}

INSTANTIATE_TEST_SUITE_P(Identities, UhidTransportInterfaces,
                         ::testing::Values(OpenCase{"VendorOnInterface1", 1, 2}, OpenCase{"VendorOnInterface0", 0, 1},
                                           OpenCase{"VendorOnInterface255", 255, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusedIdentityCase {
    const char* name;
    int interfaceNumber;
    int collectionNumber;
    const char* node;
    int expectedErrno;
};

class UhidTransportRefused : public ::testing::TestWithParam<RefusedIdentityCase> {};

TEST_P(UhidTransportRefused, GivesNullWithErrno)
{
    const RefusedIdentityCase& row = GetParam();
    SimulatedMouseIdentity identity = kIdentity;
    identity.interfaceNumber = row.interfaceNumber;
    identity.collectionNumber = row.collectionNumber;
    errno = 0;
    EXPECT_EQ(UhidTransport::open(identity, row.node), nullptr);
    EXPECT_EQ(errno, row.expectedErrno);
}

INSTANTIATE_TEST_SUITE_P(
    Identities, UhidTransportRefused,
    ::testing::Values(RefusedIdentityCase{"NoNode", 1, -1, "/nonexistent/uhid", ENOENT},
                      RefusedIdentityCase{"InterfaceAbove255", 256, -1, "/dev/null", EINVAL},
                      RefusedIdentityCase{"NegativeInterface", -1, -1, "/dev/null", EINVAL},
                      RefusedIdentityCase{"ACollectionNumber", 1, 2, "/dev/null", EINVAL}),
    [](const auto& info) { return std::string(info.param.name); });

// The whole simulated mouse on the transport: a command written by a host
// comes back as the firmware's reply, and both are in the wire log.
TEST(UhidSimulatedMouse, AnswersACommandThroughTheVendorInterface)
{
    FakeUhidKernel vendorKernel;
    FakeUhidKernel pointerKernel;
    SimulatedMouse mouse(kIdentity, std::make_unique<UhidTransport>(
                                        kIdentity, std::make_unique<UhidDevice>(vendorKernel.takeDeviceEnd()),
                                        std::make_unique<UhidDevice>(pointerKernel.takeDeviceEnd())));
    const auto created = vendorKernel.nextRequest(kWaitMs);
    ASSERT_TRUE(created);
    ASSERT_EQ(created->type, UHID_CREATE2);

    ASSERT_TRUE(vendorKernel.sendEvent(*outputEvent(commandTransfer(0xF9))));
    const auto reply = vendorKernel.nextRequest(kWaitMs);
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->type, UHID_INPUT2);
    // The version, high byte first.
    EXPECT_EQ(reply->u.input2.data[0], kIdentity.firmwareVersion >> 8);
    EXPECT_EQ(reply->u.input2.data[1], kIdentity.firmwareVersion & 0xFF);

    const std::vector<WireRecord> wire = mouse.wireLog().records();
    ASSERT_EQ(wire.size(), 2u);
    EXPECT_EQ(wire[0].direction, WireDirection::HostToDevice);
    EXPECT_EQ(wire[0].bytes, commandReport(0xF9));
    EXPECT_EQ(wire[1].direction, WireDirection::DeviceToHost);
}

TEST(UhidSimulatedMouse, UnplugAndPlugDestroyAndCreateTheInterfaces)
{
    FakeUhidKernel vendorKernel;
    FakeUhidKernel pointerKernel;
    SimulatedMouse mouse(kIdentity, std::make_unique<UhidTransport>(
                                        kIdentity, std::make_unique<UhidDevice>(vendorKernel.takeDeviceEnd()),
                                        std::make_unique<UhidDevice>(pointerKernel.takeDeviceEnd())));
    mouse.unplug();
    mouse.plug();

    for (FakeUhidKernel* kernel : {&vendorKernel, &pointerKernel}) {
        std::vector<unsigned> types;
        while (const auto request = kernel->nextRequest(types.size() < 3 ? kWaitMs : 0))
            types.push_back(request->type);
        EXPECT_EQ(types, (std::vector<unsigned>{UHID_CREATE2, UHID_DESTROY, UHID_CREATE2}));
    }
}

}  // namespace
