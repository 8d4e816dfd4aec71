#include "ui/widgets/AnimImgPlayer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Strip = AnimImgPlayer::Strip;

AnimImgPlayer makePlayer(int autorun, int inStates, int outStates, int interval = 50)
{
    AnimImgPlayer player;
    player.setAutorun(autorun);
    player.setInStates(inStates);
    player.setOutStates(outStates);
    player.setInterval(interval);
    player.start();
    return player;
}

// One letter per tick for what is drawn after it: the strip ('i', 'o', '-')
// followed by the state, e.g. "i0 i0 i1".
std::string run(AnimImgPlayer& player, int ticks)
{
    std::string trace;
    for (int i = 0; i < ticks; ++i) {
        player.tick();
        const AnimImgPlayer::Picture picture = player.picture();
        const char strip = picture.strip == Strip::In ? 'i' : picture.strip == Strip::Out ? 'o' : '-';
        if (!trace.empty())
            trace += ' ';
        trace += strip + std::to_string(picture.state);
    }
    return trace;
}

std::string repeat(const std::string& word, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += (out.empty() ? "" : " ") + word;
    return out;
}

TEST(AnimImgPlayer, AutorunOffShowsFirstFrameUntilHovered)
{
    AnimImgPlayer player = makePlayer(-1, 3, 2);
    EXPECT_FALSE(player.autorunArmed());
    EXPECT_EQ(run(player, 20), repeat("i0", 20));
}

TEST(AnimImgPlayer, HoverPlaysInOnceAndHoldsItsLastFrame)
{
    AnimImgPlayer player = makePlayer(-1, 3, 2);
    player.hover();
    // A frame every 50 ms = 5 ticks; the last frame holds while hovered.
    EXPECT_EQ(run(player, 20), repeat("i0", 4) + " " + repeat("i1", 5) + " " + repeat("i2", 11));
    EXPECT_EQ(player.currentPhase(), AnimImgPlayer::PlayingIn);
}

TEST(AnimImgPlayer, LeavingPlaysOutAfterTheHeldFrameThenRests)
{
    AnimImgPlayer player = makePlayer(-1, 3, 3);
    player.hover();
    run(player, 10); // frames 0..2 shown, holding 2
    player.leave();
    // At the next advance the out strip starts, steps through its states, then rests.
    EXPECT_EQ(run(player, 25),
              repeat("i2", 4) + " " + repeat("o0", 5) + " " + repeat("o1", 5) + " "
                  + repeat("o2", 5) + " " + repeat("i0", 6));
    EXPECT_EQ(player.currentPhase(), AnimImgPlayer::Idle);
}

TEST(AnimImgPlayer, AutorunOffWithoutOutStopsOnTheLastFrame)
{
    AnimImgPlayer player = makePlayer(-1, 3, 0);
    player.hover();
    player.leave();
    run(player, 15);
    EXPECT_EQ(run(player, 40), repeat("i2", 40));
}

TEST(AnimImgPlayer, AutorunZeroReplaysWithoutPause)
{
    AnimImgPlayer player = makePlayer(0, 3, 2);
    EXPECT_TRUE(player.autorunArmed());
    const std::string cycle = repeat("i0", 5) + " " + repeat("i1", 5) + " " + repeat("i2", 5);
    // The first tick starts the run; every run ends on the tick the next begins.
    EXPECT_EQ(run(player, 45), cycle + " " + cycle + " " + cycle);
    EXPECT_EQ(player.currentPhase(), AnimImgPlayer::PlayingIn);
}

TEST(AnimImgPlayer, AutorunSecondsWaitsBetweenRuns)
{
    AnimImgPlayer player = makePlayer(1, 2, 0);
    EXPECT_EQ(run(player, 99), repeat("i0", 99));
    EXPECT_EQ(player.currentPhase(), AnimImgPlayer::Idle);
    run(player, 1); // 1000 ms: the run starts
    EXPECT_EQ(player.currentPhase(), AnimImgPlayer::PlayingIn);
    EXPECT_EQ(run(player, 5), "i0 i0 i0 i0 i1");
    run(player, 5); // the run ends and re-arms; that tick already counts
    EXPECT_EQ(player.currentPhase(), AnimImgPlayer::Idle);
    EXPECT_TRUE(player.autorunArmed());
    run(player, 98);
    EXPECT_EQ(player.currentPhase(), AnimImgPlayer::Idle);
    run(player, 1);
    EXPECT_EQ(player.currentPhase(), AnimImgPlayer::PlayingIn);
}

TEST(AnimImgPlayer, WithoutInStripNothingIsDrawnOrAdvanced)
{
    AnimImgPlayer player = makePlayer(-1, 0, 3);
    player.hover();
    bool redrawn = false;
    for (int i = 0; i < 30; ++i)
        redrawn |= player.tick();
    EXPECT_FALSE(redrawn);
    EXPECT_EQ(player.picture().strip, Strip::None);
}

TEST(AnimImgPlayer, TickReportsARedrawOnEveryAdvanceOnly)
{
    AnimImgPlayer player = makePlayer(-1, 4, 0, 30);
    player.hover();
    std::vector<int> redrawTicks;
    for (int i = 1; i <= 12; ++i) {
        if (player.tick())
            redrawTicks.push_back(i);
    }
    EXPECT_EQ(redrawTicks, (std::vector<int>{3, 6, 9, 12}));
}

TEST(AnimImgPlayer, HoverRestartsFromTheFirstFrame)
{
    AnimImgPlayer player = makePlayer(-1, 4, 0);
    player.hover();
    run(player, 12);
    EXPECT_EQ(player.currentFrame(), 2);
    player.hover();
    EXPECT_EQ(player.currentFrame(), 0);
    EXPECT_EQ(player.currentHoverCount(), 2);
}

TEST(AnimImgPlayer, AutorunBelowMinusOneArmsOnlyAfterARun)
{
    AnimImgPlayer player = makePlayer(-5, 2, 0);
    EXPECT_FALSE(player.autorunArmed());
    EXPECT_EQ(run(player, 20), repeat("i0", 20));
    player.hover();
    player.leave();
    // No delay was ever set, so once a run has ended the next follows at once.
    EXPECT_EQ(run(player, 20), repeat("i0", 4) + " " + repeat("i1", 5) + " " + repeat("i0", 5)
                                   + " " + repeat("i1", 5) + " i0");
}

} // namespace
