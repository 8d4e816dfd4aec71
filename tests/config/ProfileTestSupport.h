#pragma once

#include "config/ProfileStore.h"

#include "TempDir.h"

#include <filesystem>
#include <string>
#include <vector>

// A store whose file lives in dir under the mouse profile's name.
inline ProfileStore storeIn(const TempDir& dir, int32_t sel = 0, std::vector<ProfileGroup> groups = {})
{
    ProfileStore store;
    store.fileName = kMouseProfileFileName;
    store.directory = dir.path();
    store.sel = sel;
    store.groups = std::move(groups);
    return store;
}

inline std::filesystem::path profilePath(const TempDir& dir)
{
    return dir / "msprofile.xml";
}

// What a profile becomes after a trip through the file: id and name are not
// read back.
inline ProfileGroup withoutIdAndName(ProfileGroup group)
{
    group.id = -1;
    group.name.clear();
    return group;
}

inline MacroItem item(int32_t code, int32_t state, int32_t delay, std::wstring name = {})
{
    return MacroItem{code, state, delay, std::move(name)};
}

inline RecordGroup record(int32_t code, int32_t page, int32_t repeat, std::wstring name = {},
                          std::wstring group = {}, std::vector<MacroItem> items = {})
{
    return RecordGroup{code, page, repeat, std::move(name), std::move(group), std::move(items)};
}
