#include "toolkit/EventSet.h"

#include <algorithm>

bool EventSet::addEvent(int eventId, std::wstring name)
{
    if (find(eventId)) {
        return false;
    }
    entries_.push_back(Entry{eventId, std::move(name), {}});
    return true;
}

bool EventSet::isRegistered(int eventId) const { return find(eventId) != nullptr; }

int EventSet::eventIdByName(std::wstring_view name) const
{
    const auto it = std::find_if(entries_.begin(), entries_.end(), [name](const Entry& e) { return e.name == name; });
    return it == entries_.end() ? 0 : it->id;
}

int EventSet::subscribe(int eventId, Handler handler)
{
    Entry* entry = find(eventId);
    if (!entry || !handler) {
        return 0;
    }
    const int token = nextToken_++;
    entry->subscribers.push_back(Subscriber{token, std::move(handler)});
    return token;
}

bool EventSet::unsubscribe(int eventId, int token)
{
    Entry* entry = find(eventId);
    if (!entry) {
        return false;
    }
    auto& subs = entry->subscribers;
    const auto it = std::find_if(subs.begin(), subs.end(), [token](const Subscriber& s) { return s.token == token; });
    if (it == subs.end()) {
        return false;
    }
    subs.erase(it);
    return true;
}

void EventSet::fire(EventArgs& event) const
{
    const Entry* entry = find(event.id);
    if (!entry) {
        return;
    }
    // A copy: handlers may subscribe, unsubscribe or destroy the sender.
    const std::vector<Subscriber> subscribers = entry->subscribers;
    for (const Subscriber& s : subscribers) {
        if (s.handler(&event)) {
            event.handled = true;
        }
        if (event.handled) {
            return;
        }
    }
}

const EventSet::Entry* EventSet::find(int eventId) const
{
    const auto it = std::find_if(entries_.begin(), entries_.end(), [eventId](const Entry& e) { return e.id == eventId; });
    return it == entries_.end() ? nullptr : &*it;
}

EventSet::Entry* EventSet::find(int eventId)
{
    return const_cast<Entry*>(static_cast<const EventSet&>(*this).find(eventId));
}
