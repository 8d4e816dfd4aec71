#pragma once

#include "shape/Records.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// File names of the two profile stores.
inline constexpr wchar_t kKeyboardProfileFileName[] = L"kbprofile.xml";
inline constexpr wchar_t kMouseProfileFileName[] = L"msprofile.xml";

// The assignment dialog's last choices.
struct ProfileParam {
    int32_t page = 0;     // 0 macro, 1 single key, 2 function key, 3 combination key
    int32_t repeat = 1;   // how often a macro repeats
    int32_t dlmode = 0;   // delay mode: 0 recorded, 1 fixed, 2 none
    int32_t delay = 10;   // fixed delay in milliseconds
    int32_t media = 0;    // index in the function-key list; negative: its current entry
    int32_t function = 0; // index in the combination-key list; negative: its current entry
    int32_t skcode = 0;   // key code of the single key; 0 none

    bool operator==(const ProfileParam&) const = default;
};

// One named macro of the user's library.
struct MacroGroup {
    std::wstring name;
    std::vector<MacroItem> items;

    bool operator==(const MacroGroup&) const = default;
};

// One profile.
struct ProfileGroup {
    int32_t id = -1;   // written to the file, never read back
    std::wstring name; // written to the file, never read back
    ProfileParam param;
    int32_t macroSel = -1; // index in macros; any value outside the list means none
    std::vector<MacroGroup> macros;
    std::vector<RecordGroup> records; // the last assignment of each button

    bool operator==(const ProfileGroup&) const = default;
};

struct ProfileStore {
    std::wstring fileName;           // bare file name, used again when saving
    std::filesystem::path directory; // where the file lives; empty: the current directory
    int32_t sel = 0;                 // selected profile; -1 means the first
    std::vector<ProfileGroup> groups;
    // Set when loading found a file it could not read; the next save keeps
    // that file under another name instead of replacing it.
    bool keepUnreadableFile = false;
    // Why that file could not be read, until the user has been told.
    std::string unreadableReason;
};

// The process-wide stores, created on first use.
ProfileStore& keyboardProfileStore();
ProfileStore& mouseProfileStore();

// Reads directory/fileName and appends its profiles to the store. The caller
// sets store.fileName first: saving writes that file. True when the file was
// parsed. A missing file is not an error and prints nothing; a
// file that exists but cannot be read or parsed is reported on stderr,
// its reason kept in store.unreadableReason, and marked to be kept aside by
// the next save.
bool loadProfileStore(ProfileStore& store, const std::wstring& fileName);

// Replaces directory/fileName with the whole store, atomically: on failure
// the previous file is left as it was and the result is false. `failure`,
// when given, then receives why, naming the file and the system's reason
// ("cannot write .../msprofile.xml.tmp: No space left on device"), for
// telling the user.
bool saveProfileStore(ProfileStore& store, std::string* failure = nullptr);

// Restores the defaults in memory (sel 0; every profile's param, macroSel,
// macros and records), keeping ids and names. The file is not touched.
void resetProfileStore(ProfileStore& store);

// The profile chosen by sel: the first when sel is -1, groups[sel] when it
// is in range, none otherwise.
ProfileGroup* selectedProfileGroup(ProfileStore& store);
const ProfileGroup* selectedProfileGroup(const ProfileStore& store);

// The param of the selected profile, or none.
ProfileParam* selectedProfileParam(ProfileStore& store);
const ProfileParam* selectedProfileParam(const ProfileStore& store);

// Appends a profile with default values and returns it.
ProfileGroup* appendProfileGroup(ProfileStore& store);

// The selected macro of the first profile (whatever sel says), or none when
// there is no profile or its macroSel is outside its macros.
MacroGroup* currentMacroGroup(ProfileStore& store);
const MacroGroup* currentMacroGroup(const ProfileStore& store);
