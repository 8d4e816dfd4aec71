#pragma once

#include "toolkit/SEdit.h"

// Fired by SEditEx when Return is pressed in it.
struct EventKeyEnter : EventArgs {
    MOUSECFG_EVENT(EventKeyEnter, 10000500, L"on_key_enter")
};

// An edit that reports Return as EventKeyEnter instead of handling it, and
// that keeps left clicks from its editor: a click on a disabled one enables
// it ("editex").
class SEditEx : public SEdit {
    MOUSECFG_WIDGET_CLASS(SEdit, L"editex")
public:
    explicit SEditEx(QWidget* parent = nullptr);

protected:
    bool editorEvent(QEvent* event) override;
};
