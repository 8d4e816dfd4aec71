#pragma once

#include <string>

class SWindow;

// A widget event. The sender fills the sender fields when it fires; a
// subscriber or the host sets `handled` to stop the event from going further.
// Read a derived event with `e->as<EventSliderPos>()` (null for other events).
struct EventArgs {
    explicit EventArgs(int eventId) : id(eventId) {}
    virtual ~EventArgs() = default;
    EventArgs(const EventArgs&) = default;
    EventArgs& operator=(const EventArgs&) = default;

    template <class T>
    T* as()
    {
        return dynamic_cast<T*>(this);
    }

    int id;                    // event id
    SWindow* sender = nullptr;
    std::wstring nameFrom;     // the sender's name
    int idFrom = 0;            // the sender's id
    bool handled = false;
};

// Declares the id and name every event class carries.
#define MOUSECFG_EVENT(ClassName, eventId, eventName)             \
    static constexpr int kEventId = eventId;                      \
    static constexpr const wchar_t* kEventName = eventName;       \
    ClassName() : EventArgs(kEventId) {}

// A click (buttons, check and radio boxes, list rows, any clickable widget).
struct EventCmd : EventArgs {
    MOUSECFG_EVENT(EventCmd, 10000, L"on_command")
};

// The tab control's page changed (also when the application selects a page).
struct EventTabSelChanged : EventArgs {
    MOUSECFG_EVENT(EventTabSelChanged, 11001, L"on_tab_sel_changed")
    int oldSel = -1;
    int newSel = -1;
};

// The pointer entered a tab item.
struct EventTabItemHover : EventArgs {
    MOUSECFG_EVENT(EventTabItemHover, 11002, L"on_tab_item_hover")
    int index = -1;
};

// The pointer left a tab item.
struct EventTabItemLeave : EventArgs {
    MOUSECFG_EVENT(EventTabItemLeave, 11003, L"on_tab_item_leave")
    int index = -1;
};

// Edit notification; code EN_CHANGE whenever the text changed (typed or set).
inline constexpr int EN_CHANGE = 768;
struct EventRichEditNotify : EventArgs {
    MOUSECFG_EVENT(EventRichEditNotify, 16000, L"on_richedit_notify")
    int iNotify = 0;
};

// The user moved a slider (not sent when the application sets the value).
struct EventSliderPos : EventArgs {
    MOUSECFG_EVENT(EventSliderPos, 17000, L"on_slider_pos")
    int nPos = 0;
};

// The user chose another combo-box item (not sent when the application selects one).
struct EventCBSelChange : EventArgs {
    MOUSECFG_EVENT(EventCBSelChange, 19000, L"on_cb_sel_change")
    int nCurSel = -1;
};

// The user clicked a column header of a multi-column list.
struct EventHeaderClick : EventArgs {
    MOUSECFG_EVENT(EventHeaderClick, 12001, L"on_header_click")
    int column = -1;
};
