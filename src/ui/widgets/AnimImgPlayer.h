#pragma once

// The frame clock of the animated image: which strip plays, at which frame,
// driven by the animation timeline's 10 ms ticks. It knows the strips only by
// their number of states (0 when the skin is absent), so it runs without a display.
class AnimImgPlayer {
public:
    static constexpr int kTickMs = 10;
    static constexpr int kDefaultIntervalMs = 50;
    static constexpr int kAutorunOff = -1;

    enum Phase { Idle = 0, PlayingIn = 1, PlayingOut = 2 };
    enum class Strip { None, In, Out };

    // What to draw: a strip and its state.
    struct Picture {
        Strip strip = Strip::None;
        int state = 0;
    };

    void setInterval(int milliseconds) { interval = milliseconds; }
    void setAutorun(int seconds) { autorun = seconds; }
    void setInStates(int count) { inStates = count; }
    void setOutStates(int count) { outStates = count; }

    // Creation: an autorun of 0 or more arms the first run after autorun seconds.
    void start();
    // The mouse entered: restart the in strip. Always needs a redraw.
    void hover();
    void leave() { --hoverCount; }
    // One tick of the timeline; true when the picture changed and needs a redraw.
    bool tick();

    Picture picture() const;

    Phase currentPhase() const { return phase; }
    int currentFrame() const { return frame; }
    int currentHoverCount() const { return hoverCount; }
    bool autorunArmed() const { return armed; }
    int autorunValue() const { return autorun; }
    int intervalMs() const { return interval; }

private:
    bool advance();
    bool advanceIn();
    bool advanceOut();

    int interval = kDefaultIntervalMs;
    int autorun = kAutorunOff;
    int inStates = 0;
    int outStates = 0;

    int hoverCount = 0;
    Phase phase = Idle;
    int frame = 0;
    int frameClock = 0;
    int autorunClock = 0;
    // Below -1 no delay is ever set: a run that ends re-arms with delay 0, so
    // the next run follows on the next tick.
    int autorunDelay = 0;
    bool armed = false;
};
