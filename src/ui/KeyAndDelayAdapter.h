#pragma once

#include <string>
#include <vector>

#include "config/ProfileStore.h"
#include "toolkit/ListAdapter.h"

class SWindow;
struct EventArgs;

// Rows of the step list: the steps of one macro group, in four columns
// ("col1" to "col4": code, name, press or release, editable delay).
//
// The adapter refers to its group by position in a profile's macros, so
// that adding groups (which may move them in memory) keeps it attached and a
// deleted position shows no steps instead of a group that is gone.
class KeyAndDelayAdapter : public ListColumnAdapter {
public:
    static constexpr const wchar_t* kCodeWidget = L"key_code";
    static constexpr const wchar_t* kNameWidget = L"key_name";
    static constexpr const wchar_t* kStateWidget = L"key_state";
    static constexpr const wchar_t* kDelayWidget = L"key_delay";

    // Attaches to macros[position]; a null list or a negative position detaches.
    void attach(std::vector<MacroGroup>* macros, int position);
    void detach() { attach(nullptr, -1); }
    // The attached group's steps, or null when there is none.
    std::vector<MacroItem>* items() const;
    int position() const { return position_; }

    int getCount() override;
    void getView(int position, SWindow* row, const pugi::xml_node& rowTemplate) override;
    std::wstring getColumnName(int column) const override;

    // The step at `index`, or null.
    MacroItem* stepAt(int index) const;
    // Appends a step; false when no group is attached.
    bool appendStep(const MacroItem& step);
    bool deleteStep(int index);
    // Exchanges the step at `index` with the one before (up) or after it.
    bool moveStepUp(int index);
    bool moveStepDown(int index);
    void deleteAllSteps();

    // Text of the state column.
    static std::wstring stateText(int32_t state);
    // The delay edit of row `index` now reads `text`. True when the text is
    // not a number: the edit must then be set back to `restoreText`.
    bool delayEdited(int index, const std::wstring& text, std::wstring& restoreText);

private:
    bool onDelayChanged(EventArgs* event);

    std::vector<MacroGroup>* macros_ = nullptr;
    int position_ = -1;
};
