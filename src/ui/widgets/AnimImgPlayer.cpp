#include "ui/widgets/AnimImgPlayer.h"

void AnimImgPlayer::start()
{
    if (autorun >= 0) {
        autorunDelay = autorun * 1000;
        armed = true;
    }
}

void AnimImgPlayer::hover()
{
    ++hoverCount;
    phase = PlayingIn;
    frame = 0;
    frameClock = 0;
    autorunClock = 0;
}

bool AnimImgPlayer::tick()
{
    bool redraw = false;
    if (phase != Idle) {
        frameClock += kTickMs;
        if (frameClock >= interval) {
            redraw = advance();
            frameClock = 0;
        }
    }
    if (armed) {
        autorunClock += kTickMs;
        if (autorunClock >= autorunDelay) {
            autorunClock = 0;
            frame = 0;
            armed = false;
            phase = PlayingIn;
        }
    }
    return redraw;
}

bool AnimImgPlayer::advance()
{
    return phase == PlayingIn ? advanceIn() : advanceOut();
}

bool AnimImgPlayer::advanceIn()
{
    if (inStates <= 0)
        return false;
    ++frame;
    if (frame >= inStates) {
        if (autorun != kAutorunOff) {
            if (autorun == 0)
                frame = 0;
            phase = Idle;
            armed = true;
        } else {
            frame = inStates - 1;
            if (hoverCount <= 0 && outStates > 0) {
                phase = PlayingOut;
                frame = 0;
                frameClock = 0;
            }
        }
    }
    return true;
}

bool AnimImgPlayer::advanceOut()
{
    if (outStates <= 0)
        return false;
    if (frame >= outStates - 1) {
        phase = Idle;
        return false;
    }
    ++frame;
    return true;
}

AnimImgPlayer::Picture AnimImgPlayer::picture() const
{
    if (phase == PlayingIn && inStates > 0)
        return {Strip::In, frame};
    if (phase == PlayingOut && outStates > 0)
        return {Strip::Out, frame};
    if (inStates > 0)
        return {Strip::In, 0};
    return {};
}
