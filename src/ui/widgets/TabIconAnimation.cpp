#include "ui/widgets/TabIconAnimation.h"

bool TabIconAnimation::tick(int inStates, int outStates)
{
    if (phase == Idle)
        return false;
    countdown -= kTickMs;
    if (countdown > 0)
        return false;
    ++frame;
    if (phase == In) {
        if (inStates <= 0)
            phase = Idle;
        else if (frame > inStates - 1)
            frame = inStates - 1;
    } else if (outStates <= 0 || frame >= outStates - 1) {
        phase = Idle;
    }
    countdown = kFrameMs;
    return true;
}
