#include "ProfileFixtures.h"

#include "config/AtomicFile.h"

#include <pugixml.hpp>

namespace {

constexpr int kProfileCount = 3;
constexpr int kStepsPerMacro = 60;
constexpr int kFirstKeyCode = 0x41;
constexpr int kKeyCount = 26;

MacroGroup macroOf(int index, wchar_t flavour)
{
    MacroGroup macro;
    macro.name = std::wstring(L"macro ") + flavour + L" \u5B8F " + std::to_wstring(index);
    for (int step = 0; step < kStepsPerMacro; ++step) {
        const int code = kFirstKeyCode + (index + step) % kKeyCount;
        macro.items.push_back(MacroItem{code, step % 2, step * 7 + index, std::wstring(1, static_cast<wchar_t>(code))});
    }
    return macro;
}

} // namespace

ProfileStore emptyProfileStore(const std::filesystem::path& directory)
{
    ProfileStore store;
    store.fileName = kMouseProfileFileName;
    store.directory = directory;
    return store;
}

ProfileStore profileStoreWithMacros(const std::filesystem::path& directory, int macroCount, wchar_t flavour)
{
    ProfileStore store = emptyProfileStore(directory);
    for (int profile = 0; profile < kProfileCount; ++profile) {
        ProfileGroup& group = store.groups.emplace_back();
        group.param.repeat = profile + 1;
        group.macroSel = 0;
        for (int macro = 0; macro < macroCount; ++macro)
            group.macros.push_back(macroOf(macro, flavour));
        group.records.push_back(RecordGroup{profile, 1, 1, L"button", std::wstring(1, flavour), group.macros.front().items});
    }
    return store;
}

std::filesystem::path profileFileOf(const ProfileStore& store)
{
    return store.directory / std::filesystem::path(pugi::as_utf8(store.fileName));
}

std::filesystem::path temporaryFileOf(const ProfileStore& store)
{
    std::filesystem::path temporary = profileFileOf(store);
    temporary += kTemporarySuffix;
    return temporary;
}
