#include "ui/widgets/TabIconAnimation.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Step {
    int phase;
    int frame;
};

// (phase, frame) after each 50 ms of ticks.
std::vector<Step> frames(TabIconAnimation& animation, int inStates, int outStates, int count)
{
    std::vector<Step> out;
    for (int i = 0; i < count; ++i) {
        for (int t = 0; t < 5; ++t)
            animation.tick(inStates, outStates);
        out.push_back({animation.phase, animation.frame});
    }
    return out;
}

bool operator==(const Step& a, const Step& b)
{
    return a.phase == b.phase && a.frame == b.frame;
}

void PrintTo(const Step& s, std::ostream* os)
{
    *os << "(" << s.phase << "," << s.frame << ")";
}

TEST(TabIconAnimation, HoverStepsInAndHoldsTheLastFrame)
{
    TabIconAnimation animation;
    animation.hover();
    EXPECT_EQ(frames(animation, 3, 3, 4),
              (std::vector<Step>{{1, 1}, {1, 2}, {1, 2}, {1, 2}}));
}

TEST(TabIconAnimation, LeaveStepsOutThenRests)
{
    TabIconAnimation animation;
    animation.hover();
    frames(animation, 3, 3, 3);
    animation.leave();
    EXPECT_EQ(frames(animation, 3, 3, 3), (std::vector<Step>{{2, 1}, {0, 2}, {0, 2}}));
}

TEST(TabIconAnimation, MissingStripsEndTheirPhaseAtOnce)
{
    TabIconAnimation in;
    in.hover();
    EXPECT_EQ(frames(in, 0, 3, 1), (std::vector<Step>{{0, 1}}));
    TabIconAnimation out;
    out.leave();
    EXPECT_EQ(frames(out, 3, 0, 1), (std::vector<Step>{{0, 1}}));
}

TEST(TabIconAnimation, RedrawsOncePerFrameAndNeverWhenIdle)
{
    TabIconAnimation animation;
    EXPECT_FALSE(animation.tick(3, 3));
    animation.hover();
    std::vector<bool> redraws;
    for (int i = 0; i < 10; ++i)
        redraws.push_back(animation.tick(3, 3));
    EXPECT_EQ(redraws, (std::vector<bool>{false, false, false, false, true,
                                          false, false, false, false, true}));
}

} // namespace
