#pragma once

#include <string>
#include <vector>

#include "config/ProfileStore.h"
#include "toolkit/ListAdapter.h"

class IOnMacroGroupClickedListener;
class SWindow;
struct EventArgs;

// Rows of the macro-group list: one per group of a profile's macros, each
// with an editable "group_name". A click on a row is told to the listener;
// editing a name renames its group.
class MacroGroupAdapter : public ListRowAdapter {
public:
    static constexpr const wchar_t* kGroupNameWidget = L"group_name";

    // The macros are not owned; null shows no rows.
    void setMacros(std::vector<MacroGroup>* macros) { macros_ = macros; }
    void setListener(IOnMacroGroupClickedListener* listener) { listener_ = listener; }
    int lastClicked() const { return lastClicked_; }

    int getCount() override;
    void getView(int position, SWindow* row, const pugi::xml_node& rowTemplate) override;

    // Appends a group named by `name`; returns its index.
    int addGroup(const std::wstring& name);
    // Deletes the group at `index`; false when there is none.
    bool deleteGroup(int index);
    // A click on row `index`.
    void clickRow(int index);
    // The name edit of row `index` now reads `name`.
    void renameGroup(int index, const std::wstring& name);

private:
    bool onRowCommand(EventArgs* event);
    bool onNameChanged(EventArgs* event);

    std::vector<MacroGroup>* macros_ = nullptr;
    IOnMacroGroupClickedListener* listener_ = nullptr;
    int lastClicked_ = -1;
};
