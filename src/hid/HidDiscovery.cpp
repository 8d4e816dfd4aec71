#include "hid/HidDiscovery.h"

#include "hid/HidPathParser.h"
#include "hid/HidTextFormat.h"
#include "hid/HidTrace.h"

#include <algorithm>
#include <span>

namespace {

constexpr int32_t kAnyNumber = -1;

bool numberPasses(int32_t filter, int32_t value)
{
    if (filter >= 0)
        return value == filter;
    return filter == kAnyNumber;
}

bool productPasses(std::span<const int32_t> productIds, int32_t productId)
{
    return productIds.empty() ||
           std::find(productIds.begin(), productIds.end(), productId) != productIds.end();
}

unsigned traceHandleValue(int handle)
{
    return static_cast<unsigned>(handle);
}

}  // namespace

HidInterfaceInfo* enumerateHidInterfaces(int32_t vendorId, int32_t productIdCount,
                                         const int32_t* productIds, int32_t interfaceNumber,
                                         int32_t collectionNumber)
{
    const std::span<const int32_t> products =
        productIds == nullptr || productIdCount < 0
            ? std::span<const int32_t>()
            : std::span<const int32_t>(productIds, static_cast<size_t>(productIdCount));
    if (products.empty() && vendorId <= 0)
        return nullptr;

    HidBackend& backend = activeHidBackend();
    const std::vector<std::wstring> paths = backend.listInterfacePaths();
    wchar_t guidText[kGuidTextCapacity];
    formatGuidText(kHidInterfaceClassGuid, guidText);
    hidTrace(L"got classs: guid={%ls}\n", guidText);

    HidInterfaceInfo* head = nullptr;
    HidInterfaceInfo** tail = &head;
    for (size_t index = 0; index < paths.size(); ++index) {
        hidTrace(L"enum interface: guid={%ls} index=%d\n", guidText, static_cast<int>(index));
        const std::wstring& path = paths[index];
        int32_t pathVendor = -1;
        int32_t pathProduct = -1;
        int32_t pathInterface = -1;
        int32_t pathCollection = -1;
        if (!parseHidDevicePath(path.c_str(), pathVendor, pathProduct, pathInterface, pathCollection))
            continue;
        if (!productPasses(products, pathProduct))
            continue;
        if (vendorId > 0 && pathVendor != vendorId)
            continue;
        if (!numberPasses(interfaceNumber, pathInterface) || !numberPasses(collectionNumber, pathCollection))
            continue;

        // Listed before the query, so an interface that cannot be read still appears.
        auto* record = new HidInterfaceInfo;
        record->devicePath = path;
        record->interfaceClassGuid = kHidInterfaceClassGuid;
        record->flags = kHidInterfaceActive;
        record->vendorId = pathVendor;
        record->productId = pathProduct;
        *tail = record;
        tail = &record->next;

        const HidInterfaceQuery query = backend.queryInterface(path);
        hidTrace(L"open dev: %08x\n", traceHandleValue(query.handle));
        if (query.handle >= 0 && query.details) {
            record->releaseNumber = query.details->attributes.versionNumber;
            record->usagePage = query.details->caps.usagePage;
            record->usage = query.details->caps.usage;
        }
    }
    return head;
}

void freeHidInterfaceList(HidInterfaceInfo* head)
{
    while (head != nullptr) {
        HidInterfaceInfo* next = head->next;
        delete head;
        head = next;
    }
}

HidInterfaceQuery queryHidInterface(const wchar_t* path)
{
    if (path == nullptr)
        return {};
    return activeHidBackend().queryInterface(path);
}

int queryHidPath(const wchar_t* path, HidAttributes* attributes, HidCaps* caps)
{
    const HidInterfaceQuery query = queryHidInterface(path);
    if (query.handle < 0 || !query.details)
        return 0;
    if (attributes != nullptr)
        *attributes = query.details->attributes;
    if (caps != nullptr)
        *caps = query.details->caps;
    return 1;
}

std::unique_ptr<HidNoticeSource> registerHidNotifications()
{
    return activeHidBackend().openNoticeSource();
}
