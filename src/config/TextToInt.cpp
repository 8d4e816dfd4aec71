#include "config/TextToInt.h"

#include <limits>

namespace {

constexpr std::uint64_t kSaturated = std::uint64_t{1} << 33;

struct ScannedNumber {
    bool negative = false;
    // Magnitude of the digits, held at kSaturated once it passes 32 bits.
    std::uint64_t magnitude = 0;
};

bool isSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

int digitValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'z')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'Z')
        return c - L'A' + 10;
    return std::numeric_limits<int>::max();
}

ScannedNumber scan(std::wstring_view text, int base)
{
    ScannedNumber result;
    if (base < 2 || base > 36)
        return result;

    std::size_t pos = 0;
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-')) {
        result.negative = text[pos] == L'-';
        ++pos;
    }
    // "0x" counts as a prefix only when a hex digit follows; otherwise the
    // "0" alone is the number.
    if (base == 16 && pos + 2 < text.size() && text[pos] == L'0'
        && (text[pos + 1] == L'x' || text[pos + 1] == L'X') && digitValue(text[pos + 2]) < 16)
        pos += 2;

    for (; pos < text.size(); ++pos) {
        const int digit = digitValue(text[pos]);
        if (digit >= base)
            break;
        if (result.magnitude < kSaturated)
            result.magnitude = result.magnitude * static_cast<std::uint64_t>(base)
                + static_cast<std::uint64_t>(digit);
        if (result.magnitude > kSaturated)
            result.magnitude = kSaturated;
    }
    return result;
}

} // namespace

std::int32_t textToLong(std::wstring_view text, int base)
{
    const ScannedNumber number = scan(text, base);
    constexpr auto maxMagnitude = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
    if (number.negative) {
        if (number.magnitude > maxMagnitude + 1)
            return std::numeric_limits<std::int32_t>::min();
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(number.magnitude));
    }
    if (number.magnitude > maxMagnitude)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(number.magnitude);
}

std::uint32_t textToULong(std::wstring_view text, int base)
{
    const ScannedNumber number = scan(text, base);
    if (number.magnitude > std::numeric_limits<std::uint32_t>::max())
        return std::numeric_limits<std::uint32_t>::max();
    const auto magnitude = static_cast<std::uint32_t>(number.magnitude);
    return number.negative ? 0u - magnitude : magnitude;
}
