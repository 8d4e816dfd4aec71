#include "toolkit/Timeline.h"

#include "toolkit/SWindow.h"

#include <QPointer>

#include <algorithm>

Timeline::Timeline()
{
    timer_.setInterval(kTickMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &Timeline::tick);
}

void Timeline::add(SWindow* widget)
{
    if (!contains(widget)) {
        widgets_.push_back(widget);
    }
    rearm();
}

void Timeline::remove(SWindow* widget)
{
    widgets_.erase(std::remove(widgets_.begin(), widgets_.end(), widget), widgets_.end());
    rearm();
}

bool Timeline::contains(const SWindow* widget) const
{
    return std::find(widgets_.begin(), widgets_.end(), widget) != widgets_.end();
}

void Timeline::visibilityChanged() { rearm(); }

void Timeline::rearm()
{
    const bool anyVisible =
        std::any_of(widgets_.begin(), widgets_.end(), [](const SWindow* w) { return w->isVisible(); });
    if (anyVisible && !timer_.isActive()) {
        timer_.start();
    } else if (!anyVisible && timer_.isActive()) {
        timer_.stop();
    }
}

void Timeline::tick()
{
    // A copy: a widget may register, unregister or be destroyed during its frame.
    std::vector<QPointer<SWindow>> current(widgets_.begin(), widgets_.end());
    for (const QPointer<SWindow>& widget : current) {
        if (widget && contains(widget) && widget->isVisible()) {
            widget->onNextFrame();
        }
    }
    rearm();
}
