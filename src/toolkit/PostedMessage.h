#pragma once

#include <QEvent>

#include <cstdint>
#include <memory>

#include "shape/ShapeHook.h"

// A window message queued for a host's UI thread. A delivery record travels
// owned by the event, so it is freed if the event is never dispatched.
class PostedMessageEvent : public QEvent {
public:
    static QEvent::Type eventType();

    PostedMessageEvent(unsigned msg, uintptr_t wParam, intptr_t lParam);
    explicit PostedMessageEvent(std::unique_ptr<PostedDelivery> record);

    unsigned msg;
    uintptr_t wParam;
    intptr_t lParam;
    std::unique_ptr<PostedDelivery> record;
};
