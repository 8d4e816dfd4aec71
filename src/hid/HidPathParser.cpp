#include "hid/HidPathParser.h"

#include <cwchar>
#include <regex>
#include <string>

namespace {

// Capture groups of the device-path patterns.
enum PathGroup : size_t {
    kVendorGroup = 1,
    kProductGroup = 2,
    kRevisionGroup = 4,
    kInterfaceGroup = 6,
    kCollectionGroup = 8,
};

constexpr const wchar_t* kHidPathPattern =
    L"hid#vid_([\\da-zA-Z]{4})&pid_([\\da-zA-Z]{4})(&rev_([\\da-zA-Z]){4})?"
    L"(&mi_([\\da-zA-Z]){2})?(&col([\\da-zA-Z]){2})?";
constexpr const wchar_t* kUsbPathPattern =
    L"usb#vid_([\\da-zA-Z]{4})&pid_([\\da-zA-Z]{4})(&rev_([\\da-zA-Z]){4})?"
    L"(&mi_([\\da-zA-Z]){2})?(&col([\\da-zA-Z]){2})?";

const std::wregex& hidPathExpression()
{
    static const std::wregex expression(kHidPathPattern, std::regex::ECMAScript | std::regex::icase);
    return expression;
}

const std::wregex& usbPathExpression()
{
    static const std::wregex expression(kUsbPathPattern, std::regex::ECMAScript | std::regex::icase);
    return expression;
}

// Hexadecimal value of a captured group: its leading hex digits, 0 when it
// starts with another letter, -1 when the group took no part in the match.
int32_t groupValue(const std::wsmatch& match, size_t group)
{
    if (!match[group].matched)
        return -1;
    const std::wstring text = match[group].str();
    return static_cast<int32_t>(std::wcstol(text.c_str(), nullptr, 16));
}

bool searchPath(const wchar_t* path, const std::wregex& expression, std::wsmatch& match,
                std::wstring& text)
{
    if (path == nullptr)
        return false;
    text = path;
    return std::regex_search(text, match, expression);
}

}  // namespace

bool parseHidDevicePath(const wchar_t* path, int32_t& vendorId, int32_t& productId,
                        int32_t& interfaceNumber, int32_t& collectionNumber)
{
    std::wstring text;
    std::wsmatch match;
    if (!searchPath(path, hidPathExpression(), match, text))
        return false;
    vendorId = groupValue(match, kVendorGroup);
    productId = groupValue(match, kProductGroup);
    interfaceNumber = groupValue(match, kInterfaceGroup);
    collectionNumber = groupValue(match, kCollectionGroup);
    return true;
}

bool parseUsbDevicePath(const wchar_t* path, int32_t& vendorId, int32_t& productId,
                        int32_t& interfaceNumber, int32_t& collectionNumber, int32_t& revision)
{
    std::wstring text;
    std::wsmatch match;
    if (!searchPath(path, usbPathExpression(), match, text))
        return false;
    vendorId = groupValue(match, kVendorGroup);
    productId = groupValue(match, kProductGroup);
    interfaceNumber = groupValue(match, kInterfaceGroup);
    collectionNumber = groupValue(match, kCollectionGroup);
    revision = groupValue(match, kRevisionGroup);
    return true;
}
