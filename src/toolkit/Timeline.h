#pragma once

#include <QObject>
#include <QTimer>

#include <vector>

class SWindow;

// The animation timeline: calls onNextFrame() of every registered, visible
// widget once per tick (10 ms). The timer is armed only while at least one
// registered widget is visible.
class Timeline : public QObject {
public:
    static constexpr int kTickMs = 10;

    Timeline();
    void add(SWindow* widget);
    void remove(SWindow* widget);
    // A registered widget was shown or hidden.
    void visibilityChanged();
    bool isRunning() const { return timer_.isActive(); }
    bool contains(const SWindow* widget) const;

private:
    void tick();
    void rearm();

    QTimer timer_;
    std::vector<SWindow*> widgets_;
};
