#include "hid/HidPath.h"

#include "hid/HidText.h"

#include <cwchar>
#include <iterator>

std::wstring formatHidDevicePath(const HidPathIds& ids, const std::string& node)
{
    wchar_t field[32];
    std::wstring path(kHidPathPrefix);
    std::swprintf(field, std::size(field), L"vid_%04x&pid_%04x", ids.vendorId, ids.productId);
    path += field;
    if (ids.interfaceNumber >= 0) {
        std::swprintf(field, std::size(field), L"&mi_%02x", static_cast<unsigned>(ids.interfaceNumber));
        path += field;
    }
    if (ids.collectionNumber >= 0) {
        std::swprintf(field, std::size(field), L"&col%02x", static_cast<unsigned>(ids.collectionNumber));
        path += field;
    }
    path += L'#';
    path += hidUtf8ToWide(node);
    return path;
}

std::string hidPathNode(const std::wstring& path)
{
    const std::wstring_view text(path);
    // In a built path the node follows the '#' that ends the ids, and may
    // itself hold '#'.
    const size_t hash = text.starts_with(kHidPathPrefix) ? text.find(L'#', kHidPathPrefix.size()) : text.rfind(L'#');
    return hidWideToUtf8(hash == std::wstring_view::npos ? text : text.substr(hash + 1));
}
