#include "ui/widgets/DecimalList.h"

#include <algorithm>
#include <cwctype>

namespace {

// One "%d": optional white space, an optional sign, decimal digits. False
// when no digit follows.
bool scanInt(std::wstring_view text, std::size_t& pos, std::int32_t& value)
{
    while (pos < text.size() && std::iswspace(static_cast<wint_t>(text[pos])))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-')) {
        negative = text[pos] == L'-';
        ++pos;
    }
    if (pos >= text.size() || text[pos] < L'0' || text[pos] > L'9')
        return false;
    std::int64_t magnitude = 0;
    for (; pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9'; ++pos) {
        if (magnitude <= INT32_MAX)
            magnitude = magnitude * 10 + (text[pos] - L'0');
    }
    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    value = static_cast<std::int32_t>(std::clamp<std::int64_t>(signedValue, INT32_MIN, INT32_MAX));
    return true;
}

} // namespace

std::size_t scanDecimalList(std::wstring_view text, std::span<std::int32_t> fields)
{
    std::size_t pos = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != L',')
                return i;
            ++pos;
        }
        std::int32_t value = 0;
        if (!scanInt(text, pos, value))
            return i;
        fields[i] = value;
    }
    return fields.size();
}
