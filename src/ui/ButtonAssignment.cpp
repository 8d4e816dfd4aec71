#include "ui/ButtonAssignment.h"

#include "ui/KeyboardHook.h"

#include <algorithm>

namespace {

constexpr int32_t kPressed = 0;
constexpr int32_t kReleased = 1;

MacroItem keyItem(int32_t code, int32_t state, int32_t delay)
{
    MacroItem item;
    item.code = code;
    item.state = state;
    item.delay = delay;
    return item;
}

// The list entry a profile index chooses: the index itself, or the list's cursor when negative.
template <class Shape>
const typename Shape::Element* chosenEntry(const Shape& list, int32_t index)
{
    const uint32_t chosen = index < 0 ? list.index() : static_cast<uint32_t>(index);
    if (chosen >= list.length()) {
        return nullptr;
    }
    return list.data() + chosen;
}

RecordGroup recordFor(int32_t code, int32_t page)
{
    RecordGroup record;
    record.code = code;
    record.page = page;
    record.repeat = 1;
    return record;
}

}  // namespace

std::optional<ButtonAssignment> buildButtonAssignment(int32_t code, const std::wstring& buttonName,
                                                      const ProfileGroup& profile, const ProfileStore& store,
                                                      const FuncKeyListShape& funcKeys,
                                                      const CombKeyListShape& combKeys)
{
    const int32_t page = profile.param.page;
    ButtonAssignment result{recordFor(code, page), kAssignOwnFunction};
    RecordGroup& record = result.record;
    if (page == kPageMacro) {
        const MacroGroup* macro = currentMacroGroup(store);
        if (macro == nullptr) {
            return std::nullopt;
        }
        record.repeat = profile.param.repeat;
        record.name = buttonName;
        record.group = macro->name;
        record.items = macro->items;
        result.param = kAssignMacro;
        return result;
    }
    const ProfileParam* param = selectedProfileParam(store);
    if (param == nullptr) {
        return std::nullopt;
    }
    switch (page) {
    case kPageSingleKey: {
        const wchar_t* keyName = lookupKeyName(param->skcode);
        record.name = keyName != nullptr ? keyName : L"";
        record.group = record.name;
        record.items.push_back(keyItem(param->skcode, kPressed, 0));
        result.param = kAssignSingleKey;
        return result;
    }
    case kPageFunctionKey: {
        const MacroFuncKey* entry = chosenEntry(funcKeys, param->media);
        if (entry == nullptr) {
            return std::nullopt;
        }
        record.name = entry->name;
        record.group = entry->name;
        record.items.push_back(keyItem(entry->code, kPressed, 0));
        result.param = kAssignFunctionKey;
        return result;
    }
    case kPageCombinationKey: {
        const MacroCombKey* entry = chosenEntry(combKeys, param->function);
        if (entry == nullptr || entry->keys.empty()) {
            return std::nullopt;
        }
        record.name = entry->name;
        record.group = entry->name;
        // Every key goes down in order, then every key comes up in order.
        for (const CombKeyStep& step : entry->keys) {
            record.items.push_back(keyItem(step.code, kPressed, step.delay + 1));
        }
        for (const CombKeyStep& step : entry->keys) {
            record.items.push_back(keyItem(step.code, kReleased, step.delay));
        }
        result.param = kAssignCombinationKey;
        return result;
    }
    default:
        return std::nullopt;
    }
}

ButtonAssignment ownFunctionAssignment(int32_t code)
{
    return ButtonAssignment{recordFor(code, kPageMacro), kAssignOwnFunction};
}

void removeButtonRecord(ProfileGroup& profile, int32_t code)
{
    auto found = std::find_if(profile.records.begin(), profile.records.end(),
                              [code](const RecordGroup& record) { return record.code == code; });
    if (found != profile.records.end()) {
        profile.records.erase(found);
    }
}

const RecordGroup* findButtonRecord(const ProfileGroup& profile, int32_t code)
{
    auto found = std::find_if(profile.records.begin(), profile.records.end(),
                              [code](const RecordGroup& record) { return record.code == code; });
    return found != profile.records.end() ? &*found : nullptr;
}
