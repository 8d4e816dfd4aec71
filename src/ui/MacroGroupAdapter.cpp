#include "ui/MacroGroupAdapter.h"

#include "toolkit/SEdit.h"
#include "toolkit/SWindow.h"
#include "ui/IOnMacroGroupClickedListener.h"

int MacroGroupAdapter::getCount() { return macros_ ? static_cast<int>(macros_->size()) : 0; }

void MacroGroupAdapter::getView(int position, SWindow* row, const pugi::xml_node& rowTemplate)
{
    // A row widget is reused for other positions: its subscriptions are made
    // once, when its children are built, and read the position from the
    // user values.
    const bool fresh = row->childWindows().empty();
    if (fresh) {
        row->createChildrenFromXml(rowTemplate);
        row->subscribeEvent(EventCmd::kEventId, this, &MacroGroupAdapter::onRowCommand);
    }
    row->setUserData(position);
    auto* nameEdit = row->findChildByName<SEdit>(kGroupNameWidget);
    if (!nameEdit) {
        return;
    }
    if (fresh) {
        nameEdit->subscribeEvent(EventRichEditNotify::kEventId, this, &MacroGroupAdapter::onNameChanged);
    }
    // Filling the edit for another position must not rename anything.
    nameEdit->setUserData(-1);
    nameEdit->setWindowText(position < getCount() ? (*macros_)[position].name : std::wstring());
    nameEdit->setUserData(position);
}

int MacroGroupAdapter::addGroup(const std::wstring& name)
{
    if (!macros_) {
        return -1;
    }
    macros_->push_back(MacroGroup{name, {}});
    notifyDataSetChanged();
    return static_cast<int>(macros_->size()) - 1;
}

bool MacroGroupAdapter::deleteGroup(int index)
{
    if (!macros_ || index < 0 || index >= getCount()) {
        return false;
    }
    macros_->erase(macros_->begin() + index);
    notifyDataSetChanged();
    return true;
}

void MacroGroupAdapter::clickRow(int index)
{
    lastClicked_ = index;
    if (listener_ && index >= 0 && index < getCount()) {
        listener_->onMacroGroupClicked(index, (*macros_)[index].name);
    }
}

void MacroGroupAdapter::renameGroup(int index, const std::wstring& name)
{
    if (macros_ && index >= 0 && index < getCount()) {
        (*macros_)[index].name = name;
    }
}

bool MacroGroupAdapter::onRowCommand(EventArgs* event)
{
    if (event->sender) {
        clickRow(static_cast<int>(event->sender->userData()));
    }
    return false;
}

bool MacroGroupAdapter::onNameChanged(EventArgs* event)
{
    auto* notify = event->as<EventRichEditNotify>();
    if (!notify || notify->iNotify != EN_CHANGE || !event->sender) {
        return false;
    }
    renameGroup(static_cast<int>(event->sender->userData()), event->sender->windowText());
    return true;
}
