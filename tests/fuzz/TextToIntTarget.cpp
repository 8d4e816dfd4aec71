// Integer text of the XML files, checked against the C library's wcstoll,
// whose rules the conversion follows for a 32-bit long.

#include "FuzzCheck.h"
#include "FuzzTarget.h"

#include "config/CombKeySteps.h"
#include "config/TextToInt.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cwchar>
#include <limits>
#include <string>

namespace {

// Characters the conversion treats specially, and some it must not: other
// spaces and digits of other scripts, NUL and a character beyond 16 bits.
constexpr wchar_t kAlphabet[] = {
    L'0', L'1', L'2', L'3', L'4', L'5', L'6', L'7', L'8', L'9', L'a', L'f', L'g', L'z', L'A', L'F', L'G', L'Z', L'x', L'X',
    L'+', L'-', L' ', L'\t', L'\n', L'\v', L'\f', L'\r', L',', L':', L'\0', L'\u00A0', L'\u3000',
    L'\uFF11', L'\u0661', static_cast<wchar_t>(0x1F600),
};

constexpr int kFirstInvalidBase = 37;

bool isCLocaleSpace(wchar_t c)
{
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

std::int32_t referenceLong(const std::wstring& text, int base)
{
    errno = 0;
    const long long value = std::wcstoll(text.c_str(), nullptr, base);
    return static_cast<std::int32_t>(std::clamp<long long>(value, std::numeric_limits<std::int32_t>::min(),
                                                           std::numeric_limits<std::int32_t>::max()));
}

// wcstoul on a 32-bit long: the magnitude saturates, then a minus negates.
std::uint32_t referenceULong(const std::wstring& text, int base)
{
    std::size_t start = 0;
    while (start < text.size() && isCLocaleSpace(text[start]))
        ++start;
    const bool signed_ = start < text.size() && (text[start] == L'+' || text[start] == L'-');
    const bool negative = signed_ && text[start] == L'-';
    const std::wstring digits = text.substr(signed_ ? start + 1 : start);
    // After a sign the digits must follow at once.
    if (!digits.empty() && signed_ && (isCLocaleSpace(digits[0]) || digits[0] == L'+' || digits[0] == L'-'))
        return 0;
    errno = 0;
    const unsigned long long magnitude = std::wcstoull(digits.c_str(), nullptr, base);
    if (errno == ERANGE || magnitude > std::numeric_limits<std::uint32_t>::max())
        return std::numeric_limits<std::uint32_t>::max();
    const auto low = static_cast<std::uint32_t>(magnitude);
    return negative ? 0u - low : low;
}

} // namespace

FUZZ_TARGET(text_to_int)
{
    if (size == 0)
        return;
    const int base = data[0] % (kFirstInvalidBase + 3);
    std::wstring text;
    for (std::size_t i = 1; i < size; ++i)
        text.push_back(kAlphabet[data[i] % std::size(kAlphabet)]);

    const std::int32_t asLong = textToLong(text, base);
    const std::uint32_t asULong = textToULong(text, base);
    if (base >= 2 && base < kFirstInvalidBase) {
        fuzzRequire(asLong == referenceLong(text, base), "textToLong agrees with wcstol");
        fuzzRequire(asULong == referenceULong(text, base), "textToULong agrees with wcstoul");
    } else {
        fuzzRequire(asLong == 0 && asULong == 0, "an unsupported base gives 0");
    }

    const auto steps = parseCombKeySteps(text);
    fuzzRequire(steps.size() <= static_cast<std::size_t>(std::count(text.begin(), text.end(), L',')) + 1,
                "a combination key has at most one step per comma-separated token");
}
