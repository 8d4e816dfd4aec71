#include "BackendGuard.h"
#include "FixturePaths.h"
#include "TraceCapture.h"

#include "hid/HidDiscovery.h"
#include "hid/linux/LinuxHidBackend.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int32_t kAny = -1;

std::vector<std::wstring> pathsOf(const HidInterfaceInfo* list)
{
    std::vector<std::wstring> paths;
    for (; list != nullptr; list = list->next)
        paths.push_back(list->devicePath);
    return paths;
}

class Discovery : public testing::Test {
protected:
    Discovery() : backend_(sysfsFixture("desktop")), guard_(backend_) {}

    LinuxHidBackend backend_;
    BackendGuard guard_;
    TraceCapture trace_;
};

struct FilterCase {
    const char* name;
    int32_t vendorId;
    std::vector<int32_t> productIds;
    std::optional<int32_t> productIdCount;  // absent: the size of productIds
    bool nullProductArray;
    int32_t interfaceNumber;
    int32_t collectionNumber;
    std::vector<std::wstring> paths;
};

const FilterCase kFilterCases[] = {
    {"VendorListsAllItsInterfacesInOrder", 0x1a2b, {}, std::nullopt, false, kAny, kAny, {kMousePointerPath, kMouseVendorPath}},
    {"ProductListWithAnyVendor", 0, {0x2106}, std::nullopt, false, kAny, kAny,
     {kKeyboardBootPath, kKeyboardConsumerPath, kKeyboardSystemPath}},
    {"SeveralProductsKeepEnumerationOrder", 0, {0x0101, 0x3c4d}, std::nullopt, false, kAny, kAny,
     {kMousePointerPath, kMouseVendorPath, kTouchpadPath}},
    {"VendorAndProductMustBothMatch", 0x1a2b, {0x2106}, std::nullopt, false, kAny, kAny, {}},
    {"InterfaceNumber", 0x1a2b, {}, std::nullopt, false, 1, kAny, {kMouseVendorPath}},
    {"InterfaceFilterRejectsPathsWithoutOne", 0x7a1c, {}, std::nullopt, false, 1, kAny, {}},
    {"InterfaceBelowMinusOneAcceptsNothing", 0x1a2b, {}, std::nullopt, false, -2, kAny, {}},
    {"CollectionNumber", 0x3f41, {}, std::nullopt, false, 1, 2, {kKeyboardSystemPath}},
    {"CollectionFilterRejectsPathsWithoutOne", 0x1a2b, {}, std::nullopt, false, kAny, 1, {}},
    {"CollectionBelowMinusOneAcceptsNothing", 0x3f41, {}, std::nullopt, false, kAny, -3, {}},
    {"NegativeProductCountIsAnEmptyList", 0x5a5a, {0x1234}, -1, false, kAny, kAny, {kGamepadPath}},
    {"AbsentProductArrayIsAnEmptyList", 0x5a5a, {}, 3, true, kAny, kAny, {kGamepadPath}},
    {"UnknownVendor", 0x0bad, {}, std::nullopt, false, kAny, kAny, {}},
};

class DiscoveryFilters : public Discovery, public testing::WithParamInterface<FilterCase> {};

TEST_P(DiscoveryFilters, ListWhatPasses)
{
    const FilterCase& c = GetParam();
    const int32_t count = c.productIdCount.value_or(static_cast<int32_t>(c.productIds.size()));
    const int32_t* products = c.nullProductArray ? nullptr : c.productIds.data();
    HidInterfaceInfo* list =
        enumerateHidInterfaces(c.vendorId, count, products, c.interfaceNumber, c.collectionNumber);
    EXPECT_EQ(pathsOf(list), c.paths);
    EXPECT_EQ(list == nullptr, c.paths.empty());
    freeHidInterfaceList(list);
}

INSTANTIATE_TEST_SUITE_P(Filters, DiscoveryFilters, testing::ValuesIn(kFilterCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Discovery, NoVendorAndNoProductsReturnsAtOnce)
{
    EXPECT_EQ(enumerateHidInterfaces(0, 0, nullptr, kAny, kAny), nullptr);
    EXPECT_EQ(enumerateHidInterfaces(-5, -1, nullptr, kAny, kAny), nullptr);
    EXPECT_TRUE(trace_.lines().empty()) << "nothing was enumerated";
}

TEST_F(Discovery, RecordsCarryPathIdsAndCapabilities)
{
    HidInterfaceInfo* list = enumerateHidInterfaces(0x1a2b, 0, nullptr, 1, kAny);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->next, nullptr);
    EXPECT_EQ(list->devicePath, kMouseVendorPath);
    EXPECT_EQ(list->interfaceClassGuid.data1, kHidInterfaceClassGuid.data1);
    EXPECT_EQ(list->reserved, 0u);
    EXPECT_EQ(list->flags, kHidInterfaceActive);
    EXPECT_EQ(list->vendorId, 0x1a2b);
    EXPECT_EQ(list->productId, 0x3c4d);
    EXPECT_EQ(list->releaseNumber, 0x0105);
    EXPECT_EQ(list->usagePage, 0xFF00);
    EXPECT_EQ(list->usage, 0x01);
    freeHidInterfaceList(list);
}

TEST_F(Discovery, InterfaceThatCannotBeReadIsListedWithZeros)
{
    HidInterfaceInfo* list = enumerateHidInterfaces(0x5a5a, 0, nullptr, kAny, kAny);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->devicePath, kGamepadPath);
    EXPECT_EQ(list->vendorId, 0x5a5a);
    EXPECT_EQ(list->productId, 0x0c01);
    EXPECT_EQ(list->releaseNumber, 0);
    EXPECT_EQ(list->usagePage, 0);
    EXPECT_EQ(list->usage, 0);
    freeHidInterfaceList(list);
    EXPECT_TRUE(trace_.contains(L"open dev: ffffffff\n"));
}

TEST_F(Discovery, TraceNamesTheClassEveryIndexAndEveryQuery)
{
    freeHidInterfaceList(enumerateHidInterfaces(0x3f41, 0, nullptr, 1, kAny));
    const auto lines = trace_.lines();
    const std::wstring guid = L"{4d1e55b2-f16f-11cf-88cb001111000030}";
    std::vector<std::wstring> expectedStart = {L"got classs: guid=" + guid + L"\n"};
    for (int index = 0; index < 7; ++index)
        expectedStart.push_back(L"enum interface: guid=" + guid + L" index=" + std::to_wstring(index) + L"\n");
    // Seven interfaces are listed; the two keyboard collections on interface 1 are queried.
    ASSERT_EQ(lines.size(), expectedStart.size() + 2);
    size_t next = 0;
    size_t opens = 0;
    for (const auto& line : lines) {
        if (line.rfind(L"open dev: ", 0) == 0) {
            EXPECT_NE(line, L"open dev: ffffffff\n");
            ++opens;
            continue;
        }
        ASSERT_LT(next, expectedStart.size());
        EXPECT_EQ(line, expectedStart[next++]);
    }
    EXPECT_EQ(opens, 2u);
}

TEST_F(Discovery, QueryHidPathFillsAttributesAndCapabilities)
{
    HidAttributes attributes;
    HidCaps caps;
    ASSERT_EQ(queryHidPath(kKeyboardBootPath, &attributes, &caps), 1);
    EXPECT_EQ(attributes.vendorId, 0x3f41);
    EXPECT_EQ(attributes.productId, 0x2106);
    EXPECT_EQ(attributes.versionNumber, 0x0210);
    EXPECT_EQ(caps.usagePage, 0x01);
    EXPECT_EQ(caps.usage, 0x06);
    EXPECT_EQ(caps.inputReportByteLength, 9);
    EXPECT_EQ(caps.outputReportByteLength, 2);
    EXPECT_EQ(queryHidPath(kKeyboardBootPath, nullptr, nullptr), 1);
}

TEST_F(Discovery, QueryHidPathFailureLeavesTheOutValues)
{
    HidAttributes attributes{1, 2, 3};
    HidCaps caps{4, 5, 6, 7, 8};
    EXPECT_EQ(queryHidPath(kGamepadPath, &attributes, &caps), 0);
    EXPECT_EQ(queryHidPath(nullptr, &attributes, &caps), 0);
    EXPECT_EQ(queryHidPath(L"\\\\?\\hid#vid_1a2b&pid_3c4d#/dev/hidraw77", &attributes, &caps), 0);
    EXPECT_EQ(attributes.versionNumber, 3);
    EXPECT_EQ(caps.inputReportByteLength, 6);
}

TEST_F(Discovery, FreeAcceptsNull)
{
    freeHidInterfaceList(nullptr);
}

}  // namespace
