#include "FixturePaths.h"

#include "hid/linux/HidrawEventTranslator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr const char* kMouseVendorDevpath =
    "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.1/0003:1A2B:3C4D.0002/hidraw/hidraw1";
constexpr const char* kKeyboardMediaDevpath =
    "/devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.1/0003:3F41:2106.0004/hidraw/hidraw3";
constexpr const char* kTouchpadDevpath =
    "/devices/pci0000:00/0000:00:15.1/i2c_designware.1/i2c-2/i2c-TPAD0001:00/0018:7A1C:0101.0005/hidraw/hidraw4";
constexpr const char* kUhidDevpath = "/devices/virtual/misc/uhid/0003:1A2B:3C4D.0001/hidraw/hidraw0";

// A property set as udevd sends it for a hidraw node.
UeventProperties udevEvent(const std::string& action, const std::string& devpath, const std::string& node)
{
    return {
        {"ACTION", action},   {"DEVPATH", devpath},     {"SUBSYSTEM", "hidraw"},
        {"DEVNAME", "/dev/" + node}, {"MAJOR", "239"}, {"SEQNUM", "4242"},
    };
}

// The kernel's own uevent names the node without /dev/.
UeventProperties kernelEvent(const std::string& action, const std::string& devpath, const std::string& node)
{
    return {{"ACTION", action}, {"DEVPATH", devpath}, {"SUBSYSTEM", "hidraw"}, {"DEVNAME", node}};
}

std::vector<HidNotice> notices(bool arrived, const std::vector<std::wstring>& paths)
{
    std::vector<HidNotice> result;
    for (const auto& path : paths)
        result.push_back({arrived, path});
    return result;
}

void expectNotices(const std::vector<HidNotice>& got, const std::vector<HidNotice>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].arrived, want[i].arrived) << i;
        EXPECT_EQ(got[i].path, want[i].path) << i;
    }
}

// A private copy of a fixture tree, so a test can take nodes away as an unplug does.
class TreeCopy {
public:
    explicit TreeCopy(const std::string& fixture)
    {
        std::random_device random;
        root_ = fs::temp_directory_path() / ("hid-sysfs-" + std::to_string(random()));
        fs::copy(sysfsFixture(fixture), root_, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    }
    ~TreeCopy()
    {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    const fs::path& root() const { return root_; }

    // Removes the node and its HID device directory, as the kernel does on unplug.
    void unplug(const std::string& devpath, const std::string& node)
    {
        fs::remove_all((root_ / fs::path(devpath).relative_path()).parent_path().parent_path());
        fs::remove(root_ / "class/hidraw" / node);
    }

private:
    fs::path root_;
};

struct ArrivalCase {
    const char* name;
    const char* fixture;
    UeventProperties event;
    std::vector<std::wstring> paths;
};

const ArrivalCase kArrivalCases[] = {
    {"VendorInterfaceFromUdev", "desktop", udevEvent("add", kMouseVendorDevpath, "hidraw1"), {kMouseVendorPath}},
    {"TwoCollectionsGiveTwoNotices", "desktop", udevEvent("add", kKeyboardMediaDevpath, "hidraw3"),
     {kKeyboardConsumerPath, kKeyboardSystemPath}},
    {"KernelEventNamesTheNodeWithoutDev", "desktop", kernelEvent("add", kTouchpadDevpath, "hidraw4"), {kTouchpadPath}},
    {"UhidDeviceTakesItsInterfaceFromPhys", "uhid", kernelEvent("add", kUhidDevpath, "hidraw0"), {kUhidPath}},
};

class TranslatedArrivals : public testing::TestWithParam<ArrivalCase> {};

TEST_P(TranslatedArrivals, NameTheEnumeratedPaths)
{
    const ArrivalCase& c = GetParam();
    HidrawEventTranslator translator(sysfsFixture(c.fixture));
    expectNotices(translator.translate(c.event), notices(true, c.paths));
}

INSTANTIATE_TEST_SUITE_P(Events, TranslatedArrivals, testing::ValuesIn(kArrivalCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct RemovalCase {
    const char* name;
    const char* fixture;
    const char* devpath;
    const char* node;
    std::vector<std::wstring> paths;
};

const RemovalCase kRemovalCases[] = {
    {"VendorInterface", "desktop", kMouseVendorDevpath, "hidraw1", {kMouseVendorPath}},
    {"EveryCollection", "desktop", kKeyboardMediaDevpath, "hidraw3", {kKeyboardConsumerPath, kKeyboardSystemPath}},
    {"OffUsb", "desktop", kTouchpadDevpath, "hidraw4", {kTouchpadPath}},
    {"UhidKeepsItsInterfaceNumber", "uhid", kUhidDevpath, "hidraw0", {kUhidPath}},
};

class TranslatedRemovals : public testing::TestWithParam<RemovalCase> {};

TEST_P(TranslatedRemovals, RepeatWhatTheArrivalGaveAfterSysfsIsGone)
{
    const RemovalCase& c = GetParam();
    TreeCopy tree(c.fixture);
    HidrawEventTranslator translator(tree.root());
    expectNotices(translator.translate(udevEvent("add", c.devpath, c.node)), notices(true, c.paths));
    tree.unplug(c.devpath, c.node);
    expectNotices(translator.translate(udevEvent("remove", c.devpath, c.node)), notices(false, c.paths));
}

TEST_P(TranslatedRemovals, RepeatWhatWasPresentAtTheStart)
{
    const RemovalCase& c = GetParam();
    TreeCopy tree(c.fixture);
    HidrawEventTranslator translator(tree.root());
    translator.rememberPresentNodes();
    tree.unplug(c.devpath, c.node);
    expectNotices(translator.translate(kernelEvent("remove", c.devpath, c.node)), notices(false, c.paths));
}

INSTANTIATE_TEST_SUITE_P(Events, TranslatedRemovals, testing::ValuesIn(kRemovalCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TranslatedRemovalUnseen, BuildsThePathFromDevpath)
{
    HidrawEventTranslator translator(sysfsFixture("no-such-tree"));
    expectNotices(translator.translate(udevEvent("remove", kMouseVendorDevpath, "hidraw1")),
                  notices(false, {kMouseVendorPath}));
    // Without a USB interface above it the interface number is unknown.
    expectNotices(translator.translate(udevEvent("remove", kUhidDevpath, "hidraw0")),
                  notices(false, {L"\\\\?\\hid#vid_1a2b&pid_3c4d#/dev/hidraw0"}));
}

TEST(TranslatedRemovalUnseen, ForgetsANodeOnceRemoved)
{
    TreeCopy tree("desktop");
    HidrawEventTranslator translator(tree.root());
    translator.rememberPresentNodes();
    tree.unplug(kKeyboardMediaDevpath, "hidraw3");
    EXPECT_EQ(translator.translate(udevEvent("remove", kKeyboardMediaDevpath, "hidraw3")).size(), 2u);
    // A second removal of the same node knows only what DEVPATH says.
    expectNotices(translator.translate(udevEvent("remove", kKeyboardMediaDevpath, "hidraw3")),
                  notices(false, {L"\\\\?\\hid#vid_3f41&pid_2106&mi_01#/dev/hidraw3"}));
}

struct IgnoredCase {
    const char* name;
    UeventProperties event;
};

const IgnoredCase kIgnoredCases[] = {
    {"OtherSubsystem", {{"ACTION", "add"}, {"SUBSYSTEM", "input"}, {"DEVPATH", kMouseVendorDevpath}}},
    {"ChangeAction", udevEvent("change", kMouseVendorDevpath, "hidraw1")},
    {"BindAction", udevEvent("bind", kMouseVendorDevpath, "hidraw1")},
    {"NoAction", {{"SUBSYSTEM", "hidraw"}, {"DEVPATH", kMouseVendorDevpath}}},
    {"RemovalWithoutHidDevice", udevEvent("remove", "/devices/virtual/misc/hidraw/hidraw1", "hidraw1")},
    {"RemovalWithShortDevpath", udevEvent("remove", "/hidraw1", "hidraw1")},
    {"EmptyEvent", {}},
};

class IgnoredEvents : public testing::TestWithParam<IgnoredCase> {};

TEST_P(IgnoredEvents, GiveNoNotice)
{
    HidrawEventTranslator translator(sysfsFixture("desktop"));
    EXPECT_TRUE(translator.translate(GetParam().event).empty());
}

INSTANTIATE_TEST_SUITE_P(Events, IgnoredEvents, testing::ValuesIn(kIgnoredCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
