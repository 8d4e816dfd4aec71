#include "toolkit/AttributeValue.h"

#include <cwctype>
#include <string>
#include <vector>

namespace {

std::wstring_view trimmed(std::wstring_view text)
{
    while (!text.empty() && std::iswspace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::iswspace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

int digitValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    if (c >= L'A' && c <= L'F') {
        return c - L'A' + 10;
    }
    return -1;
}

// Reads a number at the start of `text`; `consumed` tells how many characters it used.
int32_t leadingNumber(std::wstring_view text, size_t& consumed)
{
    size_t i = 0;
    while (i < text.size() && std::iswspace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
        negative = text[i] == L'-';
        ++i;
    }
    int base = 10;
    if (i + 1 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X') && i + 2 < text.size() &&
        digitValue(text[i + 2]) >= 0) {
        base = 16;
        i += 2;
    }
    const size_t digitsStart = i;
    uint32_t magnitude = 0;
    while (i < text.size()) {
        const int d = digitValue(text[i]);
        if (d < 0 || d >= base) {
            break;
        }
        magnitude = magnitude * static_cast<uint32_t>(base) + static_cast<uint32_t>(d);
        ++i;
    }
    if (i == digitsStart) {
        consumed = 0;
        return 0;
    }
    consumed = i;
    return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}

std::optional<std::vector<int32_t>> strictList(std::wstring_view text)
{
    std::wstring compact;
    for (wchar_t c : text) {
        if (!std::iswspace(c)) {
            compact.push_back(c);
        }
    }
    std::vector<int32_t> values;
    std::wstring_view rest = compact;
    while (true) {
        const size_t comma = rest.find(L',');
        const std::wstring_view part = rest.substr(0, comma);
        const auto value = attrToStrictInt(part);
        if (!value) {
            return std::nullopt;
        }
        values.push_back(*value);
        if (comma == std::wstring_view::npos) {
            return values;
        }
        rest.remove_prefix(comma + 1);
    }
}

}  // namespace

int32_t attrToInt(std::wstring_view text)
{
    size_t consumed = 0;
    return leadingNumber(text, consumed);
}

std::optional<bool> attrToBool(std::wstring_view text)
{
    const std::wstring_view t = trimmed(text);
    auto is = [t](std::wstring_view word) {
        if (t.size() != word.size()) {
            return false;
        }
        for (size_t i = 0; i < t.size(); ++i) {
            if (static_cast<wchar_t>(std::towlower(t[i])) != word[i]) {
                return false;
            }
        }
        return true;
    };
    if (is(L"1") || is(L"true") || is(L"yes")) {
        return true;
    }
    if (is(L"0") || is(L"false") || is(L"no")) {
        return false;
    }
    return std::nullopt;
}

std::optional<int32_t> attrToStrictInt(std::wstring_view text)
{
    const std::wstring_view t = trimmed(text);
    size_t consumed = 0;
    const int32_t value = leadingNumber(t, consumed);
    if (consumed == 0 || consumed != t.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<QPoint> attrToPoint(std::wstring_view text)
{
    const auto values = strictList(text);
    if (!values || values->size() != 2) {
        return std::nullopt;
    }
    return QPoint((*values)[0], (*values)[1]);
}

std::optional<QSize> attrToSize(std::wstring_view text)
{
    const auto values = strictList(text);
    if (!values || values->size() != 2) {
        return std::nullopt;
    }
    return QSize((*values)[0], (*values)[1]);
}

std::optional<QMargins> attrToMargins(std::wstring_view text)
{
    const auto values = strictList(text);
    if (!values) {
        return std::nullopt;
    }
    const auto& v = *values;
    switch (v.size()) {
    case 1:
        return QMargins(v[0], v[0], v[0], v[0]);
    case 2:
        return QMargins(v[0], v[1], v[0], v[1]);
    case 4:
        return QMargins(v[0], v[1], v[2], v[3]);
    default:
        return std::nullopt;
    }
}

std::optional<EdgeOffset> attrToEdgeOffset(std::wstring_view text)
{
    const std::wstring_view t = trimmed(text);
    const auto value = attrToStrictInt(t);
    if (!value) {
        return std::nullopt;
    }
    if (!t.empty() && t.front() == L'-') {
        return EdgeOffset{-*value, true};
    }
    return EdgeOffset{*value, false};
}
