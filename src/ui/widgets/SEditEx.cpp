#include "ui/widgets/SEditEx.h"

#include <QKeyEvent>
#include <QMouseEvent>

SEditEx::SEditEx(QWidget* parent) : SEdit(parent)
{
    addEvent(EventKeyEnter::kEventId, EventKeyEnter::kEventName);
}

bool SEditEx::editorEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Both Return keys: the main one and the keypad's.
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return SEdit::editorEvent(event);
        EventKeyEnter keyEnter;
        fireEvent(keyEnter);
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return SEdit::editorEvent(event);
        if (isDisabled(false))
            enableWindow(true);
        return true;
    default:
        return SEdit::editorEvent(event);
    }
}
