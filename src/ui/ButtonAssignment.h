#pragma once

#include "config/ProfileStore.h"
#include "shape/Channels.h"

#include <cstdint>
#include <optional>
#include <string>

// The params a published button assignment carries; the device logic picks
// its requests by them.
inline constexpr int kAssignOwnFunction = 0;
inline constexpr int kAssignMacro = 1;
inline constexpr int kAssignSingleKey = 2;
inline constexpr int kAssignFunctionKey = 3;
inline constexpr int kAssignCombinationKey = 4;

// Assignment pages of the macro editor, as kept in ProfileParam::page.
inline constexpr int32_t kPageMacro = 0;
inline constexpr int32_t kPageSingleKey = 1;
inline constexpr int32_t kPageFunctionKey = 2;
inline constexpr int32_t kPageCombinationKey = 3;

// A record for one button and the param it is published with.
struct ButtonAssignment {
    RecordGroup record;
    int param = kAssignOwnFunction;
};

// The record of the choice `profile` (the one the editor worked on) made on
// its page for button `code` named `buttonName`: the store's current macro
// (repeated as the profile says), the selected profile's single key, or an
// entry of the function-key or combination-key list (a negative index means
// the list's cursor). None when the choice is missing or out of range, or
// for an unknown page.
std::optional<ButtonAssignment> buildButtonAssignment(int32_t code, const std::wstring& buttonName,
                                                      const ProfileGroup& profile, const ProfileStore& store,
                                                      const FuncKeyListShape& funcKeys,
                                                      const CombKeyListShape& combKeys);

// The record that gives a button its own function back.
ButtonAssignment ownFunctionAssignment(int32_t code);

// Removes the first record of button `code` from the profile, if any.
void removeButtonRecord(ProfileGroup& profile, int32_t code);

// The first record of button `code` in the profile; null when there is none.
const RecordGroup* findButtonRecord(const ProfileGroup& profile, int32_t code);
