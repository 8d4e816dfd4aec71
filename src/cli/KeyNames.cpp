#include "cli/KeyNames.h"

#include "cli/NumberArgument.h"
#include "mouse/KeyUsage.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cwctype>

namespace {

bool equalIgnoringCase(std::wstring_view left, std::wstring_view right)
{
    return std::ranges::equal(left, right, [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); });
}

}  // namespace

std::optional<std::wstring> keyNameOf(int code)
{
    const wchar_t* name = lookupKeyName(code);
    if (name == nullptr) {
        return std::nullopt;
    }
    return std::wstring(name);
}

std::optional<int> keyCodeFromArgument(const std::string& argument)
{
    const std::wstring wide = pugi::as_wide(argument);
    for (const KeyUsageEntry& entry : keyUsageTable) {
        if (equalIgnoringCase(entry.name, wide)) {
            return entry.keyCode;
        }
    }
    const std::optional<long long> code = parseNumberArgument(argument);
    if (!code || *code <= 0 || *code > 0xFFFF || lookupKeyUsage(static_cast<int>(*code)) == 0) {
        return std::nullopt;
    }
    return static_cast<int>(*code);
}
