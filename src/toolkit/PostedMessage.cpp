#include "toolkit/PostedMessage.h"

#include "toolkit/WindowMessages.h"

QEvent::Type PostedMessageEvent::eventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

PostedMessageEvent::PostedMessageEvent(unsigned message, uintptr_t w, intptr_t l)
    : QEvent(eventType()), msg(message), wParam(w), lParam(l)
{
}

PostedMessageEvent::PostedMessageEvent(std::unique_ptr<PostedDelivery> delivery)
    : QEvent(eventType()), msg(WM_SHAPE_DELIVERY), wParam(0), lParam(0), record(std::move(delivery))
{
}
