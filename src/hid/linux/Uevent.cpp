#include "hid/linux/Uevent.h"

#include <charconv>

namespace {

constexpr std::string_view kInputPrefix = "/input";
constexpr std::string_view kWhiteSpace = " \t\r\n";

std::optional<uint32_t> parseHexNumber(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<uint16_t> parseHex16(std::string_view text)
{
    const auto value = parseHexNumber(text);
    if (!value || *value > 0xFFFF)
        return std::nullopt;
    return static_cast<uint16_t>(*value);
}

std::string_view trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(kWhiteSpace);
    return text.substr(first, last - first + 1);
}

}  // namespace

UeventProperties parseUevent(std::string_view text)
{
    UeventProperties properties;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos || equals == 0)
            continue;
        properties[std::string(line.substr(0, equals))] = std::string(line.substr(equals + 1));
    }
    return properties;
}

std::string_view ueventValue(const UeventProperties& properties, const std::string& key)
{
    const auto found = properties.find(key);
    return found == properties.end() ? std::string_view() : std::string_view(found->second);
}

std::optional<HidIdField> parseHidId(std::string_view text)
{
    const size_t firstColon = text.find(':');
    if (firstColon == std::string_view::npos)
        return std::nullopt;
    const size_t secondColon = text.find(':', firstColon + 1);
    if (secondColon == std::string_view::npos)
        return std::nullopt;
    const std::string_view productText = text.substr(secondColon + 1);
    const auto bus = parseHex16(text.substr(0, firstColon));
    const auto vendor = parseHex16(text.substr(firstColon + 1, secondColon - firstColon - 1));
    const auto product = parseHex16(productText);
    if (!bus || !vendor || !product)
        return std::nullopt;
    return HidIdField{*bus, *vendor, *product};
}

std::optional<int> interfaceFromPhys(std::string_view phys)
{
    const size_t position = phys.rfind(kInputPrefix);
    if (position == std::string_view::npos)
        return std::nullopt;
    const std::string_view digits = phys.substr(position + kInputPrefix.size());
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 10);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || value < 0 ||
        value > 0xFF)
        return std::nullopt;
    return value;
}

std::optional<uint16_t> parseHexAttribute(std::string_view text)
{
    return parseHex16(trimmed(text));
}

std::optional<HidIdField> parseHidDeviceName(std::string_view name)
{
    // BBBB:VVVV:PPPP.IIII
    constexpr size_t kFieldWidth = 4;
    constexpr size_t kNameLength = 4 * kFieldWidth + 3;
    if (name.size() != kNameLength || name[4] != ':' || name[9] != ':' || name[14] != '.')
        return std::nullopt;
    const auto bus = parseHex16(name.substr(0, kFieldWidth));
    const auto vendor = parseHex16(name.substr(5, kFieldWidth));
    const auto product = parseHex16(name.substr(10, kFieldWidth));
    const auto instance = parseHex16(name.substr(15, kFieldWidth));
    if (!bus || !vendor || !product || !instance)
        return std::nullopt;
    return HidIdField{*bus, *vendor, *product};
}

std::optional<int> interfaceFromUsbInterfaceName(std::string_view name)
{
    // <bus>-<port>[.<port>...]:<configuration>.<interface>
    const size_t dash = name.find('-');
    const size_t colon = name.find(':');
    const size_t dot = name.rfind('.');
    if (dash == std::string_view::npos || colon == std::string_view::npos || dot == std::string_view::npos ||
        !(dash < colon && colon < dot) || name.find(':', colon + 1) != std::string_view::npos)
        return std::nullopt;
    const auto isDecimal = [](std::string_view part, bool allowDots) {
        if (part.empty())
            return false;
        for (char c : part)
            if (!(c >= '0' && c <= '9') && !(allowDots && c == '.'))
                return false;
        return true;
    };
    const std::string_view interfaceText = name.substr(dot + 1);
    if (!isDecimal(name.substr(0, dash), false) || !isDecimal(name.substr(dash + 1, colon - dash - 1), true) ||
        !isDecimal(name.substr(colon + 1, dot - colon - 1), false) || !isDecimal(interfaceText, false))
        return std::nullopt;
    int value = 0;
    const auto [end, error] =
        std::from_chars(interfaceText.data(), interfaceText.data() + interfaceText.size(), value, 10);
    if (error != std::errc() || end != interfaceText.data() + interfaceText.size() || value > 0xFF)
        return std::nullopt;
    return value;
}
