#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "ui/KeyboardHook.h"

// Hands a key event from a backend's own thread to the keyboard hook's chain
// on the UI thread and waits for the chain's answer, at most `timeout`. A key
// whose answer does not come in time counts as not swallowed, so that a busy
// UI thread delays the desktop's typing by the bound at most.
class KeyHandoff {
public:
    enum class Answer { Passed, Swallowed, TimedOut, Cancelled };

    explicit KeyHandoff(std::chrono::milliseconds timeout) : timeout_(timeout) {}

    // On the backend's thread: offers the event and waits.
    Answer offer(unsigned message, const KeyHookEvent& event);
    // Wakes a waiting offer (which answers Cancelled) and makes every later
    // offer answer Cancelled at once; events already posted are dropped.
    void cancel();
    // Allows offers again after cancel().
    void reset();

private:
    struct Pending {
        std::mutex mutex;
        std::condition_variable answered;
        bool done = false;
        bool swallowed = false;
    };
    struct Shared {
        std::mutex mutex;
        std::condition_variable cancelled;
        bool cancel = false;
        std::shared_ptr<Pending> waiting;
    };

    std::chrono::milliseconds timeout_;
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
};
