// The uhid sysfs fixture of the HID tests set against what the kernel really
// shows for the simulated mouse: what the enumeration reads out of it must be
// the same, and the fixture may only leave out what the kernel has.

#include "FileText.h"
#include "GuestHarness.h"

#include "hid/HidPath.h"
#include "hid/linux/SysfsHidNode.h"
#include "hid/linux/Uevent.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace guest {
namespace {

namespace fs = std::filesystem;

// Names the directory that holds the fixtures (a copy of tests/fixtures).
constexpr const char* kFixturesVariable = "MOUSECFG_GUEST_FIXTURES";

// Instance and node numbers differ from run to run.
std::string withoutNumbers(const std::string& text)
{
    static const std::regex instance(R"(\.[0-9A-F]{4}\b)");
    static const std::regex node(R"(hidraw[0-9]+)");
    return std::regex_replace(std::regex_replace(text, instance, ".NNNN"), node, "hidrawN");
}

std::set<std::string> keysOf(const UeventProperties& properties)
{
    std::set<std::string> keys;
    for (const auto& [key, value] : properties)
        keys.insert(key);
    return keys;
}

class KernelSysfsAgainstFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* fixtures = std::getenv(kFixturesVariable);
        ASSERT_NE(fixtures, nullptr) << kFixturesVariable << " is not set";
        fixtureRoot = fs::path(fixtures) / "sysfs" / "uhid";
        ASSERT_TRUE(fs::is_directory(fixtureRoot / "class" / "hidraw"));
        fixtureNode = *fs::directory_iterator(fixtureRoot / "class" / "hidraw");

        ASSERT_TRUE(mouse.ready());
        ASSERT_TRUE(waitForListedCount(kMouseIdentity.vendorId, kMouseIdentity.productId, 2));
        for (const std::wstring& path : listedPaths(kMouseIdentity.vendorId, kMouseIdentity.productId))
            if (path.find(L"&mi_01") != std::wstring::npos)
                kernelNode = fs::path("/sys/class/hidraw") / fs::path(hidPathNode(path)).filename();
        ASSERT_FALSE(kernelNode.empty());
    }

    fs::path fixtureRoot;
    fs::directory_entry fixtureNode;
    fs::path kernelNode;
    KernelMouse mouse;
};

TEST_F(KernelSysfsAgainstFixture, TheEnumerationReadsTheSameInterfaceFromBoth)
{
    const auto fixture = readSysfsHidNode(fixtureNode.path());
    const auto kernel = readSysfsHidNode(kernelNode);
    ASSERT_TRUE(fixture);
    ASSERT_TRUE(kernel);

    EXPECT_EQ(kernel->ids.vendorId, fixture->ids.vendorId);
    EXPECT_EQ(kernel->ids.productId, fixture->ids.productId);
    EXPECT_EQ(kernel->ids.interfaceNumber, fixture->ids.interfaceNumber);
    EXPECT_EQ(kernel->releaseNumber, fixture->releaseNumber);
    ASSERT_EQ(kernel->paths().size(), fixture->paths().size());
    const auto kernelDetails = kernel->details(kernel->paths().front());
    const auto fixtureDetails = fixture->details(fixture->paths().front());
    ASSERT_TRUE(kernelDetails);
    ASSERT_TRUE(fixtureDetails);
    EXPECT_EQ(kernelDetails->caps.usagePage, fixtureDetails->caps.usagePage);
    EXPECT_EQ(kernelDetails->caps.usage, fixtureDetails->caps.usage);
    EXPECT_EQ(kernelDetails->caps.inputReportByteLength, fixtureDetails->caps.inputReportByteLength);
    EXPECT_EQ(kernelDetails->caps.outputReportByteLength, fixtureDetails->caps.outputReportByteLength);
    EXPECT_EQ(kernelDetails->caps.featureReportByteLength, fixtureDetails->caps.featureReportByteLength);
    EXPECT_EQ(kernelDetails->reportIdsUsed, fixtureDetails->reportIdsUsed);
}

TEST_F(KernelSysfsAgainstFixture, TheNodeLinksIntoTheSameChainOfDirectories)
{
    const auto chainOf = [](const fs::path& root, const fs::path& node) {
        const fs::path target = fs::read_symlink(node);
        return withoutNumbers(target.string()) + " | device -> " +
               withoutNumbers(fs::read_symlink(fs::canonical(node) / "device").string()) + " | " +
               withoutNumbers(fs::relative(fs::canonical(node), fs::canonical(root)).string());
    };
    EXPECT_EQ(chainOf("/sys", kernelNode), chainOf(fixtureRoot, fixtureNode.path()));
}

TEST_F(KernelSysfsAgainstFixture, EveryFixtureFileExistsInTheKernelsTree)
{
    const fs::path fixtureDevice = fs::canonical(fixtureNode.path() / "device");
    const fs::path kernelDevice = fs::canonical(kernelNode / "device");
    const std::string kernelNodeName = kernelNode.filename().string();
    for (const auto& entry : fs::recursive_directory_iterator(fixtureDevice)) {
        std::string relative = fs::relative(entry.path(), fixtureDevice).string();
        relative = std::regex_replace(relative, std::regex("hidraw[0-9]+"), kernelNodeName);
        EXPECT_TRUE(fs::exists(kernelDevice / relative)) << relative << " is in the fixture only";
    }
}

struct UeventCase {
    const char* name;
    const char* relativeFile;  // from the hidraw node's directory
    std::set<std::string> valuesThatMatch;
};

class KernelUevent : public KernelSysfsAgainstFixture, public ::testing::WithParamInterface<UeventCase> {};

TEST_P(KernelUevent, HasTheFixturesKeysAndTheValuesTheTransportReads)
{
    const UeventProperties fixture = parseUevent(fileText(fixtureNode.path() / GetParam().relativeFile));
    const UeventProperties kernel = parseUevent(fileText(kernelNode / GetParam().relativeFile));
    EXPECT_EQ(keysOf(kernel), keysOf(fixture));
    for (const std::string& key : GetParam().valuesThatMatch)
        EXPECT_EQ(withoutNumbers(std::string(ueventValue(kernel, key))),
                  withoutNumbers(std::string(ueventValue(fixture, key))))
            << key;
}

INSTANTIATE_TEST_SUITE_P(Files, KernelUevent,
                         ::testing::Values(UeventCase{"HidDevice", "device/uevent", {"DRIVER", "HID_ID", "HID_PHYS"}},
                                           UeventCase{"HidrawNode", "uevent", {"DEVNAME"}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace guest
