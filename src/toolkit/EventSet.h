#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Events.h"

// The events one widget can fire, each with its subscribers in subscription order.
class EventSet {
public:
    using Handler = std::function<bool(EventArgs*)>;

    // Registers an event; false when the id is already registered.
    bool addEvent(int eventId, std::wstring name);
    bool isRegistered(int eventId) const;
    // The id of a registered event by name, or 0.
    int eventIdByName(std::wstring_view name) const;

    // Adds a subscriber; returns its token (never 0), or 0 when the event is not registered.
    int subscribe(int eventId, Handler handler);
    bool unsubscribe(int eventId, int token);

    // Calls the subscribers in order until one marks the event handled. A
    // handler that returns true marks it handled. Subscribers added or removed
    // while this runs take effect for the next event.
    void fire(EventArgs& event) const;

private:
    struct Subscriber {
        int token;
        Handler handler;
    };
    struct Entry {
        int id;
        std::wstring name;
        std::vector<Subscriber> subscribers;
    };
    const Entry* find(int eventId) const;
    Entry* find(int eventId);

    std::vector<Entry> entries_;
    int nextToken_ = 1;
};
