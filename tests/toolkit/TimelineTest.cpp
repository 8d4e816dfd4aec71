#include "ToolkitTestSupport.h"

#include "toolkit/SWindow.h"

#include <QTest>

namespace {

using namespace toolkittest;

// Counts its frames.
class Animated : public SWindow {
public:
    using SWindow::SWindow;
    int frames = 0;
    void onNextFrame() override { ++frames; }
};

class Timelines : public ToolkitApp {
protected:
    Timeline& timeline() { return app->timeline(); }
};

TEST_F(Timelines, RunsOnlyWhileARegisteredWidgetIsVisible)
{
    SWindow top;
    auto* a = new Animated(&top);
    EXPECT_FALSE(timeline().isRunning());
    a->registerTimeline();
    EXPECT_FALSE(timeline().isRunning()) << "registered but not shown";
    top.show();
    EXPECT_TRUE(timeline().isRunning());
    a->hide();
    EXPECT_FALSE(timeline().isRunning());
    a->show();
    EXPECT_TRUE(timeline().isRunning());
    top.hide();
    EXPECT_FALSE(timeline().isRunning()) << "hidden with its parent";
    top.show();
    a->unregisterTimeline();
    EXPECT_FALSE(timeline().isRunning());
}

TEST_F(Timelines, CallsVisibleWidgetsEveryTick)
{
    SWindow top;
    auto* shown = new Animated(&top);
    auto* hidden = new Animated(&top);
    shown->registerTimeline();
    hidden->registerTimeline();
    hidden->hide();
    top.show();
    ASSERT_TRUE(waitUntil([&] { return shown->frames >= 5; }));
    EXPECT_EQ(hidden->frames, 0);
}

TEST_F(Timelines, DestroyedWidgetLeavesTheTimeline)
{
    SWindow top;
    auto* a = new Animated(&top);
    a->registerTimeline();
    top.show();
    EXPECT_TRUE(timeline().contains(a));
    delete a;
    EXPECT_FALSE(timeline().isRunning());
    QTest::qWait(30);
}

TEST_F(Timelines, TicksAreTenMilliseconds)
{
    SWindow top;
    auto* a = new Animated(&top);
    a->registerTimeline();
    top.show();
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(waitUntil([&] { return a->frames >= 10; }));
    // Ten ticks take at least 90 ms (timers never fire early by a whole tick).
    EXPECT_GE(clock.elapsed(), 90);
}

}  // namespace
