#include "ui/KeyAndDelayAdapter.h"

#include <cwctype>
#include <utility>

#include "config/TextToInt.h"
#include "toolkit/SWindow.h"
#include "ui/widgets/SEditEx.h"

namespace {

// Whether the text begins (after white space and a sign) with a digit.
bool startsWithNumber(const std::wstring& text)
{
    std::size_t i = 0;
    while (i < text.size() && std::iswspace(text[i])) {
        ++i;
    }
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        ++i;
    }
    return i < text.size() && text[i] >= L'0' && text[i] <= L'9';
}

void setTextOf(SWindow* row, const wchar_t* name, const std::wstring& text)
{
    if (SWindow* widget = row->findChildByName(name)) {
        widget->setWindowText(text);
    }
}

}  // namespace

void KeyAndDelayAdapter::attach(std::vector<MacroGroup>* macros, int position)
{
    macros_ = position >= 0 ? macros : nullptr;
    position_ = macros_ ? position : -1;
    notifyDataSetChanged();
}

std::vector<MacroItem>* KeyAndDelayAdapter::items() const
{
    if (!macros_ || position_ < 0 || position_ >= static_cast<int>(macros_->size())) {
        return nullptr;
    }
    return &(*macros_)[position_].items;
}

int KeyAndDelayAdapter::getCount()
{
    const auto* steps = items();
    return steps ? static_cast<int>(steps->size()) : 0;
}

std::wstring KeyAndDelayAdapter::getColumnName(int column) const { return L"col" + std::to_wstring(column + 1); }

MacroItem* KeyAndDelayAdapter::stepAt(int index) const
{
    auto* steps = items();
    if (!steps || index < 0 || index >= static_cast<int>(steps->size())) {
        return nullptr;
    }
    return &(*steps)[index];
}

void KeyAndDelayAdapter::getView(int position, SWindow* row, const pugi::xml_node& rowTemplate)
{
    const bool fresh = row->childWindows().empty();
    if (fresh) {
        row->createChildrenFromXml(rowTemplate);
    }
    row->setUserData(position);
    const MacroItem* step = stepAt(position);
    if (!step) {
        return;
    }
    setTextOf(row, kCodeWidget, std::to_wstring(step->code));
    setTextOf(row, kNameWidget, step->name);
    setTextOf(row, kStateWidget, stateText(step->state));
    if (auto* delay = row->findChildByName<SEditEx>(kDelayWidget)) {
        if (fresh) {
            delay->subscribeEvent(EventRichEditNotify::kEventId, this, &KeyAndDelayAdapter::onDelayChanged);
        }
        // Filling the edit for another position must not change any delay.
        delay->setUserData(-1);
        delay->setWindowText(std::to_wstring(step->delay));
        delay->setUserData(position);
    }
}

bool KeyAndDelayAdapter::appendStep(const MacroItem& step)
{
    auto* steps = items();
    if (!steps) {
        return false;
    }
    steps->push_back(step);
    notifyDataSetChanged();
    return true;
}

bool KeyAndDelayAdapter::deleteStep(int index)
{
    auto* steps = items();
    if (!stepAt(index)) {
        return false;
    }
    steps->erase(steps->begin() + index);
    notifyDataSetChanged();
    return true;
}

bool KeyAndDelayAdapter::moveStepUp(int index)
{
    auto* steps = items();
    if (!stepAt(index) || index == 0) {
        return false;
    }
    std::swap((*steps)[index], (*steps)[index - 1]);
    notifyDataSetChanged();
    return true;
}

bool KeyAndDelayAdapter::moveStepDown(int index)
{
    auto* steps = items();
    if (!stepAt(index) || !stepAt(index + 1)) {
        return false;
    }
    std::swap((*steps)[index], (*steps)[index + 1]);
    notifyDataSetChanged();
    return true;
}

void KeyAndDelayAdapter::deleteAllSteps()
{
    if (auto* steps = items()) {
        steps->clear();
    }
    notifyDataSetChanged();
}

std::wstring KeyAndDelayAdapter::stateText(int32_t state)
{
    switch (state) {
    case 0:
        return L"key down";
    case 1:
        return L"key up";
    default:
        return L"replace";
    }
}

bool KeyAndDelayAdapter::delayEdited(int index, const std::wstring& text, std::wstring& restoreText)
{
    MacroItem* step = stepAt(index);
    if (!step) {
        return false;
    }
    if (text.empty()) {
        step->delay = 0;
        return false;
    }
    if (!startsWithNumber(text)) {
        restoreText = std::to_wstring(step->delay);
        return true;
    }
    const int32_t value = textToLong(text, 10);
    if (value != step->delay) {
        step->delay = value;
    }
    return false;
}

bool KeyAndDelayAdapter::onDelayChanged(EventArgs* event)
{
    auto* notify = event->as<EventRichEditNotify>();
    if (!notify || notify->iNotify != EN_CHANGE || !event->sender) {
        return false;
    }
    std::wstring restore;
    if (delayEdited(static_cast<int>(event->sender->userData()), event->sender->windowText(), restore)) {
        event->sender->setWindowText(restore);
    }
    return true;
}
