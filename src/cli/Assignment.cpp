#include "cli/Assignment.h"

#include "cli/KeyNames.h"
#include "cli/NumberArgument.h"
#include "config/ProfileStore.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cwctype>

namespace {

// Profile page values of each kind.
constexpr int kMacroPage = 0;
constexpr int kSingleKeyPage = 1;
constexpr int kFunctionKeyPage = 2;
constexpr int kCombinationKeyPage = 3;

bool equalIgnoringCase(std::wstring_view left, std::wstring_view right)
{
    return std::ranges::equal(left, right, [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); });
}

// The entry a list argument names: by name (letter case ignored), else by index.
template <class Entry>
const Entry* findEntry(const std::vector<Entry>& entries, const std::string& argument)
{
    const std::wstring wide = pugi::as_wide(argument);
    const auto named = std::ranges::find_if(entries, [&](const Entry& entry) { return equalIgnoringCase(entry.name, wide); });
    if (named != entries.end()) {
        return &*named;
    }
    const std::optional<int> index = parseNumberInRange(argument, 0, static_cast<int>(entries.size()) - 1);
    return index ? &entries[static_cast<std::size_t>(*index)] : nullptr;
}

AssignmentPlanResult failure(std::string message)
{
    return AssignmentPlanResult{std::nullopt, std::move(message)};
}

RecordGroup recordFor(const AssignmentRequest& request, int page, const std::wstring& name)
{
    RecordGroup record;
    record.code = request.button;
    record.page = page;
    record.repeat = 1;
    record.name = name;
    record.group = name;
    return record;
}

}  // namespace

AssignmentPlanResult planAssignment(const AssignmentRequest& request, const std::map<int, std::wstring>& buttonNames,
                                    const std::vector<MacroFuncKey>& functionKeys,
                                    const std::vector<MacroCombKey>& combinationKeys, const MacroFile& macro)
{
    const auto named = buttonNames.find(request.button);
    const std::wstring buttonName = named != buttonNames.end() ? named->second : std::wstring();
    switch (request.kind) {
    case AssignmentKind::Default:
        return AssignmentPlanResult{AssignmentPlan{recordFor(request, kMacroPage, L""), kRestoreDefaultParam, false}, {}};
    case AssignmentKind::Key: {
        RecordGroup record = recordFor(request, kSingleKeyPage, keyNameOf(request.keyCode).value_or(L""));
        record.items.push_back(MacroItem{request.keyCode, 0, 0, L""});
        return AssignmentPlanResult{AssignmentPlan{record, kSingleKeyParam, true}, {}};
    }
    case AssignmentKind::Macro: {
        RecordGroup record = recordFor(request, kMacroPage, buttonName);
        record.repeat = macro.repeat;
        record.group = macro.name;
        record.items = macro.items;
        return AssignmentPlanResult{AssignmentPlan{record, kMacroParam, true}, {}};
    }
    case AssignmentKind::FunctionKey: {
        const MacroFuncKey* entry = findEntry(functionKeys, request.argument);
        if (entry == nullptr) {
            return failure("config.xml lists no function key '" + request.argument + "'");
        }
        RecordGroup record = recordFor(request, kFunctionKeyPage, buttonName);
        record.items.push_back(MacroItem{entry->code, 0, 0, L""});
        return AssignmentPlanResult{AssignmentPlan{record, kFunctionKeyParam, true}, {}};
    }
    case AssignmentKind::Combination: {
        const MacroCombKey* entry = findEntry(combinationKeys, request.argument);
        if (entry == nullptr) {
            return failure("config.xml lists no combination key '" + request.argument + "'");
        }
        if (entry->keys.empty()) {
            return failure("combination key '" + request.argument + "' has no keys in config.xml");
        }
        RecordGroup record = recordFor(request, kCombinationKeyPage, buttonName);
        for (const CombKeyStep& step : entry->keys) {
            record.items.push_back(MacroItem{step.code, 0, step.delay + 1, L""});
        }
        for (const CombKeyStep& step : entry->keys) {
            record.items.push_back(MacroItem{step.code, 1, step.delay, L""});
        }
        return AssignmentPlanResult{AssignmentPlan{record, kCombinationKeyParam, true}, {}};
    }
    }
    return failure("unknown assignment");
}

void recordAssignment(ProfileStore& store, const AssignmentPlan& plan)
{
    ProfileGroup* profile = selectedProfileGroup(store);
    if (profile == nullptr) {
        profile = appendProfileGroup(store);
    }
    std::vector<RecordGroup>& records = profile->records;
    const auto old = std::ranges::find_if(records, [&](const RecordGroup& record) { return record.code == plan.record.code; });
    if (old != records.end()) {
        records.erase(old);
    }
    if (plan.recorded) {
        records.push_back(plan.record);
    }
}
