#include "config/ProfileStore.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace {

template <class Store>
auto* selectedGroupOf(Store& store)
{
    using Group = std::remove_reference_t<decltype(store.groups.front())>;
    const auto count = static_cast<int64_t>(store.groups.size());
    if (count == 0)
        return static_cast<Group*>(nullptr);
    if (store.sel == -1)
        return &store.groups.front();
    if (store.sel >= 0 && store.sel < count)
        return &store.groups[static_cast<std::size_t>(store.sel)];
    return static_cast<Group*>(nullptr);
}

template <class Store>
auto* currentMacroOf(Store& store)
{
    using Macro = std::remove_reference_t<decltype(store.groups.front().macros.front())>;
    if (store.groups.empty())
        return static_cast<Macro*>(nullptr);
    auto& first = store.groups.front();
    if (first.macroSel < 0 || static_cast<std::size_t>(first.macroSel) >= first.macros.size())
        return static_cast<Macro*>(nullptr);
    return &first.macros[static_cast<std::size_t>(first.macroSel)];
}

} // namespace

ProfileStore& keyboardProfileStore()
{
    static ProfileStore store;
    return store;
}

ProfileStore& mouseProfileStore()
{
    static ProfileStore store;
    return store;
}

void resetProfileStore(ProfileStore& store)
{
    store.sel = 0;
    for (ProfileGroup& group : store.groups) {
        group.param = ProfileParam{};
        group.macroSel = -1;
        group.macros.clear();
        group.records.clear();
    }
}

ProfileGroup* selectedProfileGroup(ProfileStore& store)
{
    return selectedGroupOf(store);
}

const ProfileGroup* selectedProfileGroup(const ProfileStore& store)
{
    return selectedGroupOf(store);
}

ProfileParam* selectedProfileParam(ProfileStore& store)
{
    ProfileGroup* group = selectedProfileGroup(store);
    return group != nullptr ? &group->param : nullptr;
}

const ProfileParam* selectedProfileParam(const ProfileStore& store)
{
    const ProfileGroup* group = selectedProfileGroup(store);
    return group != nullptr ? &group->param : nullptr;
}

ProfileGroup* appendProfileGroup(ProfileStore& store)
{
    return &store.groups.emplace_back();
}

MacroGroup* currentMacroGroup(ProfileStore& store)
{
    return currentMacroOf(store);
}

const MacroGroup* currentMacroGroup(const ProfileStore& store)
{
    return currentMacroOf(store);
}
