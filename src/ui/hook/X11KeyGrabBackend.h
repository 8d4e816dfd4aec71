#pragma once

#include <atomic>
#include <bitset>
#include <cstdint>
#include <thread>

#include "ui/hook/KeyHandoff.h"
#include "ui/hook/KeyboardHookBackend.h"

struct xcb_connection_t;
struct xcb_key_press_event_t;

// The keyboard hook on an X11 display: while installed, a passive grab of
// every key on the root window in synchronous keyboard mode, on a connection
// and thread of its own. Each key that freezes the keyboard is handed to the
// chain on the UI thread; a key the chain passes is replayed to the focused
// program, a swallowed press turns the grab into an active keyboard grab
// until every held key is up, so that its release is withheld as well.
//
// Keys released while this backend holds the keyboard cannot be replayed:
// a release the chain passes after a swallowed press reaches no program
// (which never saw the press either).
class X11KeyGrabBackend : public IKeyboardHookBackend {
public:
    // How long a frozen key waits for the chain before it goes on.
    static constexpr std::chrono::milliseconds kAnswerTimeout{250};

    X11KeyGrabBackend() = default;
    ~X11KeyGrabBackend() override;

    // True on an X server with evdev keycodes that lets this client grab
    // the keyboard (no other client holds an active keyboard grab).
    bool install() override;
    bool remove() override;

private:
    bool grabKeys();
    void ungrabKeys();
    void run();
    void handleKey(const xcb_key_press_event_t& event, bool release);
    void allowEvents(uint8_t mode, uint32_t time);

    xcb_connection_t* connection_ = nullptr;
    uint32_t root_ = 0;
    int wakeFd_ = -1;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    KeyHandoff handoff_{kAnswerTimeout};

    // Grab thread only.
    bool activeGrab_ = false;  // the keyboard is grabbed until every held key is up
    bool frozen_ = false;      // the last event froze the keyboard and is unanswered
    std::bitset<256> held_;    // keys pressed while the keyboard is grabbed
};
