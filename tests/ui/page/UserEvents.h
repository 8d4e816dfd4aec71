#pragma once

// What the user does on a widget, as the toolkit reports it: the event goes
// out from the widget with the widget's name and id, as a real click, slider
// move or combo choice would send it.

#include "toolkit/Events.h"
#include "toolkit/SWindow.h"

template <class Event>
Event eventFrom(SWindow& sender)
{
    Event event;
    event.sender = &sender;
    event.nameFrom = sender.name();
    event.idFrom = sender.id();
    return event;
}

inline void fireClick(SWindow& sender)
{
    auto event = eventFrom<EventCmd>(sender);
    sender.fireEvent(event);
}

inline void fireSlide(SWindow& sender, int position)
{
    auto event = eventFrom<EventSliderPos>(sender);
    event.nPos = position;
    sender.fireEvent(event);
}

inline void fireChoice(SWindow& sender, int index)
{
    auto event = eventFrom<EventCBSelChange>(sender);
    event.nCurSel = index;
    sender.fireEvent(event);
}
