#include "config/CombKeySteps.h"

#include "config/TextToInt.h"

#include <algorithm>
#include <string>

namespace {

constexpr wchar_t kStepSeparator = L',';
constexpr wchar_t kPartSeparator = L':';
constexpr int kDecimal = 10;

// Splits at separator; empty pieces are kept.
std::vector<std::wstring_view> split(std::wstring_view text, wchar_t separator)
{
    std::vector<std::wstring_view> pieces;
    for (;;) {
        const std::size_t end = text.find(separator);
        pieces.push_back(text.substr(0, end));
        if (end == std::wstring_view::npos)
            return pieces;
        text.remove_prefix(end + 1);
    }
}

bool onlyColons(std::wstring_view token)
{
    return std::all_of(token.begin(), token.end(), [](wchar_t c) { return c == kPartSeparator; });
}

} // namespace

std::vector<CombKeyStep> parseCombKeySteps(std::wstring_view text)
{
    std::wstring compact(text);
    std::erase(compact, L' ');

    std::vector<CombKeyStep> steps;
    for (const std::wstring_view token : split(compact, kStepSeparator)) {
        // A token of colons only names no key; it is dropped like an empty one.
        if (onlyColons(token))
            continue;
        const std::vector<std::wstring_view> parts = split(token, kPartSeparator);
        CombKeyStep step;
        step.code = textToLong(parts[0], kDecimal);
        step.delay = parts.size() > 1 ? textToLong(parts[1], kDecimal) : 0;
        steps.push_back(step);
    }
    return steps;
}
