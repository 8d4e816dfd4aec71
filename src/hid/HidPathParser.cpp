#include "hid/HidPathParser.h"

#include <cwchar>
#include <optional>
#include <string_view>

namespace {

// The device-path pattern, searched anywhere and ignoring case:
//   hid#vid_XXXX&pid_XXXX(&rev_XXXX)?(&mi_XX)?(&colXX)?   ("usb#" for USB paths)
// where X is a digit or an ASCII letter. Every optional field is taken when
// it is present right after the previous part; the interface, collection and
// revision fields keep only their last character, as repeated capture groups
// do.
struct PathFields {
    std::wstring_view vendor;
    std::wstring_view product;
    std::optional<wchar_t> revision;
    std::optional<wchar_t> interfaceNumber;
    std::optional<wchar_t> collection;
};

constexpr std::wstring_view kVendorTag = L"vid_";
constexpr std::wstring_view kProductTag = L"&pid_";
constexpr std::wstring_view kRevisionTag = L"&rev_";
constexpr std::wstring_view kInterfaceTag = L"&mi_";
constexpr std::wstring_view kCollectionTag = L"&col";
constexpr size_t kIdWidth = 4;
constexpr size_t kRevisionWidth = 4;
constexpr size_t kInterfaceWidth = 2;
constexpr size_t kCollectionWidth = 2;

wchar_t lowerAscii(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool isDigitOrLetter(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

// Consumes `tag` (ignoring case) at `position`.
bool takeTag(std::wstring_view path, size_t& position, std::wstring_view tag)
{
    if (path.size() - position < tag.size())
        return false;
    for (size_t i = 0; i < tag.size(); ++i)
        if (lowerAscii(path[position + i]) != tag[i])
            return false;
    position += tag.size();
    return true;
}

// Consumes `width` digits or letters at `position`.
std::optional<std::wstring_view> takeField(std::wstring_view path, size_t& position, size_t width)
{
    if (path.size() - position < width)
        return std::nullopt;
    for (size_t i = 0; i < width; ++i)
        if (!isDigitOrLetter(path[position + i]))
            return std::nullopt;
    const std::wstring_view field = path.substr(position, width);
    position += width;
    return field;
}

// An optional "<tag><field>" part: its last character, or nothing (and
// `position` unchanged) when the part is not there.
std::optional<wchar_t> takeOptionalPart(std::wstring_view path, size_t& position, std::wstring_view tag,
                                        size_t width)
{
    size_t cursor = position;
    if (!takeTag(path, cursor, tag))
        return std::nullopt;
    const auto field = takeField(path, cursor, width);
    if (!field)
        return std::nullopt;
    position = cursor;
    return field->back();
}

std::optional<PathFields> matchAt(std::wstring_view path, size_t position, std::wstring_view classTag)
{
    PathFields fields;
    if (!takeTag(path, position, classTag) || !takeTag(path, position, kVendorTag))
        return std::nullopt;
    const auto vendor = takeField(path, position, kIdWidth);
    if (!vendor || !takeTag(path, position, kProductTag))
        return std::nullopt;
    const auto product = takeField(path, position, kIdWidth);
    if (!product)
        return std::nullopt;
    fields.vendor = *vendor;
    fields.product = *product;
    fields.revision = takeOptionalPart(path, position, kRevisionTag, kRevisionWidth);
    fields.interfaceNumber = takeOptionalPart(path, position, kInterfaceTag, kInterfaceWidth);
    fields.collection = takeOptionalPart(path, position, kCollectionTag, kCollectionWidth);
    return fields;
}

std::optional<PathFields> searchPath(const wchar_t* path, std::wstring_view classTag)
{
    if (path == nullptr)
        return std::nullopt;
    const std::wstring_view text(path);
    for (size_t position = 0; position < text.size(); ++position)
        if (auto fields = matchAt(text, position, classTag))
            return fields;
    return std::nullopt;
}

// The leading hex digits of a field as a number, 0 when it starts with
// another letter.
int32_t hexValue(std::wstring_view field)
{
    int32_t value = 0;
    for (wchar_t c : field) {
        const wchar_t lower = lowerAscii(c);
        int digit = 0;
        if (lower >= L'0' && lower <= L'9')
            digit = lower - L'0';
        else if (lower >= L'a' && lower <= L'f')
            digit = lower - L'a' + 10;
        else
            break;
        value = value * 16 + digit;
    }
    return value;
}

int32_t optionalValue(const std::optional<wchar_t>& field)
{
    return field ? hexValue(std::wstring_view(&*field, 1)) : -1;
}

}  // namespace

bool parseHidDevicePath(const wchar_t* path, int32_t& vendorId, int32_t& productId,
                        int32_t& interfaceNumber, int32_t& collectionNumber)
{
    const auto fields = searchPath(path, L"hid#");
    if (!fields)
        return false;
    vendorId = hexValue(fields->vendor);
    productId = hexValue(fields->product);
    interfaceNumber = optionalValue(fields->interfaceNumber);
    collectionNumber = optionalValue(fields->collection);
    return true;
}

bool parseUsbDevicePath(const wchar_t* path, int32_t& vendorId, int32_t& productId,
                        int32_t& interfaceNumber, int32_t& collectionNumber, int32_t& revision)
{
    const auto fields = searchPath(path, L"usb#");
    if (!fields)
        return false;
    vendorId = hexValue(fields->vendor);
    productId = hexValue(fields->product);
    interfaceNumber = optionalValue(fields->interfaceNumber);
    collectionNumber = optionalValue(fields->collection);
    revision = optionalValue(fields->revision);
    return true;
}
