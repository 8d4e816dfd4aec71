#pragma once

#include "cli/CommandLine.h"
#include "cli/MacroFile.h"
#include "shape/Records.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

struct ProfileStore;

// Kinds of assignment the page passes in the param of a published record.
inline constexpr int kRestoreDefaultParam = 0;
inline constexpr int kMacroParam = 1;
inline constexpr int kSingleKeyParam = 2;
inline constexpr int kFunctionKeyParam = 3;
inline constexpr int kCombinationKeyParam = 4;

// The record the settings page would publish for one assignment, and
// whether the page keeps it in the profile (a restored default is not kept).
struct AssignmentPlan {
    RecordGroup record;
    int param = kRestoreDefaultParam;
    bool recorded = true;
};

struct AssignmentPlanResult {
    std::optional<AssignmentPlan> plan;
    std::string error;  // one line, when there is no plan
};

// What the configured lists, the macro and the button's name make of a
// request, exactly as the page builds its record: page 0 macro, 1 single key,
// 2 function key, 3 combination key (pressed in order, then released in order).
// `macro` is used for AssignmentKind::Macro only.
AssignmentPlanResult planAssignment(const AssignmentRequest& request, const std::map<int, std::wstring>& buttonNames,
                                    const std::vector<MacroFuncKey>& functionKeys,
                                    const std::vector<MacroCombKey>& combinationKeys, const MacroFile& macro);

// Replaces the button's record in the profile the page works on (the
// selected one, or a new one when none is selected): the first record of that
// button is removed and a kept plan's record appended. Not saved here.
void recordAssignment(ProfileStore& store, const AssignmentPlan& plan);
