// Device paths as the system or a notice hands them over, each byte taken as
// one character. The parser is checked against the path pattern run by the
// standard regular-expression engine.

#include "FuzzCheck.h"
#include "FuzzTarget.h"

#include "hid/HidPathParser.h"

#include <cstdint>
#include <optional>
#include <regex>
#include <string>

namespace {

// Longer paths are cut: the regular-expression engine recurses per character.
constexpr std::size_t kLongestPath = 512;

constexpr wchar_t kHidPattern[] = L"hid#vid_([\\da-zA-Z]{4})&pid_([\\da-zA-Z]{4})(&rev_([\\da-zA-Z]){4})?"
                                  L"(&mi_([\\da-zA-Z]){2})?(&col([\\da-zA-Z]){2})?";
constexpr wchar_t kUsbPattern[] = L"usb#vid_([\\da-zA-Z]{4})&pid_([\\da-zA-Z]{4})(&rev_([\\da-zA-Z]){4})?"
                                  L"(&mi_([\\da-zA-Z]){2})?(&col([\\da-zA-Z]){2})?";

enum Group : std::size_t { kVendor = 1, kProduct = 2, kRevision = 4, kInterface = 6, kCollection = 8 };

// A captured field's value: its leading hexadecimal digits, -1 when the
// group took no part in the match.
std::int32_t groupValue(const std::wsmatch& match, std::size_t group)
{
    if (!match[group].matched)
        return -1;
    std::int32_t value = 0;
    for (const wchar_t c : match[group].str()) {
        const int digit = c >= L'0' && c <= L'9' ? c - L'0'
            : c >= L'a' && c <= L'f'             ? c - L'a' + 10
            : c >= L'A' && c <= L'F'             ? c - L'A' + 10
                                                 : -1;
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    return value;
}

struct Ids {
    std::int32_t vendor = -7;
    std::int32_t product = -7;
    std::int32_t interfaceNumber = -7;
    std::int32_t collection = -7;
    std::int32_t revision = -7;

    bool operator==(const Ids&) const = default;
};

std::optional<Ids> expectedIds(const std::wstring& path, const wchar_t* pattern)
{
    static const std::wregex hid(kHidPattern, std::regex::ECMAScript | std::regex::icase);
    static const std::wregex usb(kUsbPattern, std::regex::ECMAScript | std::regex::icase);
    std::wsmatch match;
    if (!std::regex_search(path, match, pattern == kHidPattern ? hid : usb))
        return std::nullopt;
    Ids ids;
    ids.vendor = groupValue(match, kVendor);
    ids.product = groupValue(match, kProduct);
    ids.interfaceNumber = groupValue(match, kInterface);
    ids.collection = groupValue(match, kCollection);
    if (pattern == kUsbPattern)
        ids.revision = groupValue(match, kRevision);
    return ids;
}

} // namespace

FUZZ_TARGET(hid_path)
{
    std::wstring path;
    for (std::size_t i = 0; i < size && i < kLongestPath && data[i] != 0; ++i)
        path.push_back(static_cast<wchar_t>(data[i]));

    Ids hid;
    const bool hidParsed = parseHidDevicePath(path.c_str(), hid.vendor, hid.product, hid.interfaceNumber, hid.collection);
    const std::optional<Ids> hidExpected = expectedIds(path, kHidPattern);
    fuzzRequire(hidParsed == hidExpected.has_value(), "a HID path parses exactly when the pattern matches");
    fuzzRequire(hidParsed ? hid == *hidExpected : hid == Ids{}, "a HID path gives the pattern's fields");

    Ids usb;
    const bool usbParsed = parseUsbDevicePath(path.c_str(), usb.vendor, usb.product, usb.interfaceNumber,
                                              usb.collection, usb.revision);
    const std::optional<Ids> usbExpected = expectedIds(path, kUsbPattern);
    fuzzRequire(usbParsed == usbExpected.has_value(), "a USB path parses exactly when the pattern matches");
    fuzzRequire(usbParsed ? usb == *usbExpected : usb == Ids{}, "a USB path gives the pattern's fields");

    Ids untouched;
    fuzzRequire(!parseHidDevicePath(nullptr, untouched.vendor, untouched.product, untouched.interfaceNumber,
                                    untouched.collection)
                    && untouched == Ids{},
                "a null path fails and changes nothing");
}
