#pragma once

// The icon animation of one animated tab page: the in strip plays while its
// tab item is hovered and holds its last frame, the out strip plays once after
// the mouse has left. Strips are known by their number of states (0: absent).
struct TabIconAnimation {
    static constexpr int kTickMs = 10;
    static constexpr int kFrameMs = 50;

    enum Phase { Idle = 0, In = 1, Out = 2 };

    Phase phase = Idle;
    int frame = 0;
    int countdown = 0;

    void hover() { restart(In); }
    void leave() { restart(Out); }
    // One tick of the timeline; true when the item needs a redraw.
    bool tick(int inStates, int outStates);

private:
    void restart(Phase next)
    {
        phase = next;
        frame = 0;
        countdown = kFrameMs;
    }
};
