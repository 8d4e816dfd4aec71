// The uhid request layer against a stand-in for the kernel's end: the events
// it writes, the events it reads, and the descriptions it refuses.

#include "FakeUhidKernel.h"

#include "sim/UhidDevice.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

UhidDeviceDescription exampleDescription()
{
    UhidDeviceDescription description;
    description.name = "Example Mouse";
    description.phys = "usb-0000:00:14.0-2/input1";
    description.vendorId = 0x1A2B;
    description.productId = 0x3C4D;
    description.version = 0x0105;
    description.reportDescriptor = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0xC0};
    return description;
}

class UhidDeviceTest : public ::testing::Test {
protected:
    FakeUhidKernel kernel;
    UhidDevice device{kernel.takeDeviceEnd()};
};

TEST_F(UhidDeviceTest, CreateWritesTheDescriptionAsOneCreateRequest)
{
    const UhidDeviceDescription description = exampleDescription();
    ASSERT_TRUE(device.create(description));
    EXPECT_TRUE(device.isCreated());

    const auto request = kernel.nextRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->type, UHID_CREATE2);
    const uhid_create2_req& create = request->u.create2;
    EXPECT_STREQ(reinterpret_cast<const char*>(create.name), "Example Mouse");
    EXPECT_STREQ(reinterpret_cast<const char*>(create.phys), "usb-0000:00:14.0-2/input1");
    EXPECT_STREQ(reinterpret_cast<const char*>(create.uniq), "");
    EXPECT_EQ(create.bus, kUhidBusUsb);
    EXPECT_EQ(create.vendor, 0x1A2Bu);
    EXPECT_EQ(create.product, 0x3C4Du);
    EXPECT_EQ(create.version, 0x0105u);
    ASSERT_EQ(create.rd_size, description.reportDescriptor.size());
    EXPECT_EQ(std::memcmp(create.rd_data, description.reportDescriptor.data(), create.rd_size), 0);
    EXPECT_FALSE(kernel.nextRequest());
}

struct RefusedDescriptionCase {
    const char* name;
    void (*spoil)(UhidDeviceDescription&);
};

class UhidDeviceRefusedDescription : public ::testing::TestWithParam<RefusedDescriptionCase> {};

TEST_P(UhidDeviceRefusedDescription, SendsNothingAndFailsWithEinval)
{
    FakeUhidKernel kernel;
    UhidDevice device(kernel.takeDeviceEnd());
    UhidDeviceDescription description = exampleDescription();
    GetParam().spoil(description);

    errno = 0;
    EXPECT_FALSE(device.create(description));
    EXPECT_EQ(errno, EINVAL);
    EXPECT_FALSE(device.isCreated());
    EXPECT_FALSE(kernel.nextRequest());
}

INSTANTIATE_TEST_SUITE_P(
    Descriptions, UhidDeviceRefusedDescription,
    ::testing::Values(
        // The kernel's fields hold 127 and 63 bytes of text plus the terminating zero.
        RefusedDescriptionCase{"NameOfFieldSize",
                               [](UhidDeviceDescription& description) { description.name = std::string(128, 'n'); }},
        RefusedDescriptionCase{"PhysOfFieldSize",
                               [](UhidDeviceDescription& description) { description.phys = std::string(64, 'p'); }},
        RefusedDescriptionCase{"EmptyDescriptor",
                               [](UhidDeviceDescription& description) { description.reportDescriptor.clear(); }},
        RefusedDescriptionCase{
            "DescriptorOverTheKernelLimit",
            [](UhidDeviceDescription& description) { description.reportDescriptor.assign(4097, 0xC0); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UhidDeviceTest, TextAndDescriptorAtTheirLimitsAreSentWhole)
{
    UhidDeviceDescription description = exampleDescription();
    description.name = std::string(127, 'n');
    description.phys = std::string(63, 'p');
    description.reportDescriptor.assign(4096, 0xC0);
    ASSERT_TRUE(device.create(description));

    const auto request = kernel.nextRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(reinterpret_cast<const char*>(request->u.create2.name), description.name);
    EXPECT_EQ(reinterpret_cast<const char*>(request->u.create2.phys), description.phys);
    EXPECT_EQ(request->u.create2.rd_size, 4096);
}

TEST_F(UhidDeviceTest, ASecondCreateFailsWithEalready)
{
    ASSERT_TRUE(device.create(exampleDescription()));
    ASSERT_TRUE(kernel.nextRequest());

    errno = 0;
    EXPECT_FALSE(device.create(exampleDescription()));
    EXPECT_EQ(errno, EALREADY);
    EXPECT_FALSE(kernel.nextRequest());
}

TEST_F(UhidDeviceTest, DestroySendsOneRequestAndOnlyForACreatedDevice)
{
    EXPECT_TRUE(device.destroy());
    EXPECT_FALSE(kernel.nextRequest());

    ASSERT_TRUE(device.create(exampleDescription()));
    ASSERT_TRUE(kernel.nextRequest());
    ASSERT_TRUE(device.destroy());
    EXPECT_FALSE(device.isCreated());
    const auto request = kernel.nextRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->type, UHID_DESTROY);

    // Created again after a destroy, as a replugged device is.
    EXPECT_TRUE(device.create(exampleDescription()));
}

TEST_F(UhidDeviceTest, InputReportsNeedACreatedDevice)
{
    const std::vector<std::uint8_t> report{0x01, 0x05, 0x00, 0x7F};
    errno = 0;
    EXPECT_FALSE(device.sendInput(report));
    EXPECT_EQ(errno, ENODEV);
    EXPECT_FALSE(kernel.nextRequest());

    ASSERT_TRUE(device.create(exampleDescription()));
    ASSERT_TRUE(kernel.nextRequest());
    ASSERT_TRUE(device.sendInput(report));
    const auto request = kernel.nextRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->type, UHID_INPUT2);
    ASSERT_EQ(request->u.input2.size, report.size());
    EXPECT_EQ(std::vector<std::uint8_t>(request->u.input2.data, request->u.input2.data + report.size()), report);
}

TEST_F(UhidDeviceTest, AFailedWriteLeavesTheDeviceUncreated)
{
    kernel.hangUp();
    errno = 0;
    EXPECT_FALSE(device.create(exampleDescription()));
    EXPECT_EQ(errno, EPIPE);
    EXPECT_FALSE(device.isCreated());
}

struct KernelEventCase {
    const char* name;
    unsigned type;
    UhidEventType expected;
};

class UhidDeviceEventType : public ::testing::TestWithParam<KernelEventCase> {};

TEST_P(UhidDeviceEventType, IsTranslated)
{
    FakeUhidKernel kernel;
    UhidDevice device(kernel.takeDeviceEnd());
    ASSERT_TRUE(kernel.sendEvent(*makeUhidEvent(GetParam().type)));

    const auto event = device.readEvent();
    ASSERT_TRUE(event);
    EXPECT_EQ(event->type, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Kernel, UhidDeviceEventType,
                         ::testing::Values(KernelEventCase{"Start", UHID_START, UhidEventType::started},
                                           KernelEventCase{"Stop", UHID_STOP, UhidEventType::stopped},
                                           KernelEventCase{"Open", UHID_OPEN, UhidEventType::opened},
                                           KernelEventCase{"Close", UHID_CLOSE, UhidEventType::closed},
                                           KernelEventCase{"Output", UHID_OUTPUT, UhidEventType::output},
                                           KernelEventCase{"GetReport", UHID_GET_REPORT, UhidEventType::getReport},
                                           KernelEventCase{"SetReport", UHID_SET_REPORT, UhidEventType::setReport},
                                           KernelEventCase{"Unknown", 99, UhidEventType::other}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UhidDeviceTest, AnOutputEventCarriesTheBytesTheHostWrote)
{
    auto output = makeUhidEvent(UHID_OUTPUT);
    const std::vector<std::uint8_t> transfer{0x00, 0x07, 0xF9, 0x00, 0x00};
    std::copy(transfer.begin(), transfer.end(), output->u.output.data);
    output->u.output.size = static_cast<std::uint16_t>(transfer.size());
    ASSERT_TRUE(kernel.sendEvent(*output));

    const auto event = device.readEvent();
    ASSERT_TRUE(event);
    EXPECT_EQ(event->data, transfer);
}

TEST_F(UhidDeviceTest, AnOutputSizeBeyondTheBufferIsCutToTheBuffer)
{
    auto output = makeUhidEvent(UHID_OUTPUT);
    output->u.output.size = 0xFFFF;
    ASSERT_TRUE(kernel.sendEvent(*output));

    const auto event = device.readEvent();
    ASSERT_TRUE(event);
    EXPECT_EQ(event->data.size(), static_cast<std::size_t>(UHID_DATA_MAX));
}

TEST_F(UhidDeviceTest, RequestsCarryTheirIdAndReportNumber)
{
    auto get = makeUhidEvent(UHID_GET_REPORT);
    get->u.get_report.id = 41;
    get->u.get_report.rnum = 3;
    auto set = makeUhidEvent(UHID_SET_REPORT);
    set->u.set_report.id = 42;
    set->u.set_report.rnum = 5;
    set->u.set_report.size = 2;
    set->u.set_report.data[0] = 5;
    set->u.set_report.data[1] = 0xAA;
    ASSERT_TRUE(kernel.sendEvent(*get));
    ASSERT_TRUE(kernel.sendEvent(*set));

    const auto first = device.readEvent();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->requestId, 41u);
    EXPECT_EQ(first->reportNumber, 3);
    const auto second = device.readEvent();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->requestId, 42u);
    EXPECT_EQ(second->reportNumber, 5);
    EXPECT_EQ(second->data, (std::vector<std::uint8_t>{5, 0xAA}));
}

TEST_F(UhidDeviceTest, AnswersEchoTheRequestIdAndTheError)
{
    ASSERT_TRUE(device.answerGetReport(41, EIO));
    ASSERT_TRUE(device.answerSetReport(42, 0));

    const auto get = kernel.nextRequest();
    ASSERT_TRUE(get);
    EXPECT_EQ(get->type, UHID_GET_REPORT_REPLY);
    EXPECT_EQ(get->u.get_report_reply.id, 41u);
    EXPECT_EQ(get->u.get_report_reply.err, EIO);
    EXPECT_EQ(get->u.get_report_reply.size, 0);
    const auto set = kernel.nextRequest();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->type, UHID_SET_REPORT_REPLY);
    EXPECT_EQ(set->u.set_report_reply.id, 42u);
    EXPECT_EQ(set->u.set_report_reply.err, 0);
}

struct ReadFailureCase {
    const char* name;
    void (*provoke)(FakeUhidKernel&);
    int expectedErrno;
};

class UhidDeviceReadFailure : public ::testing::TestWithParam<ReadFailureCase> {};

TEST_P(UhidDeviceReadFailure, GivesNoEvent)
{
    FakeUhidKernel kernel;
    UhidDevice device(kernel.takeDeviceEnd());
    GetParam().provoke(kernel);

    errno = 0;
    EXPECT_FALSE(device.readEvent());
    EXPECT_EQ(errno, GetParam().expectedErrno);
}

INSTANTIATE_TEST_SUITE_P(
    Kernel, UhidDeviceReadFailure,
    ::testing::Values(ReadFailureCase{"NothingQueued", [](FakeUhidKernel&) {}, EAGAIN},
                      ReadFailureCase{"ShorterThanTheEventType", [](FakeUhidKernel& k) { ASSERT_TRUE(k.sendRunt()); },
                                      EIO},
                      ReadFailureCase{"EndOfFile", [](FakeUhidKernel& k) { k.hangUp(); }, EIO}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UhidDeviceOpen, AMissingNodeGivesNullWithTheOpenError)
{
    errno = 0;
    EXPECT_EQ(UhidDevice::open("/nonexistent/uhid"), nullptr);
    EXPECT_EQ(errno, ENOENT);
}

}  // namespace
