#pragma once

#include <memory>

// A source of key events for the keyboard hook. While installed it hands
// every key press and release to offerKeyToChain() on the UI thread, and
// withholds the key from other programs when the chain swallows it (as far
// as the source can).
class IKeyboardHookBackend {
public:
    virtual ~IKeyboardHookBackend() = default;
    // Starts delivering; false when the source refuses (nothing installed).
    virtual bool install() = 0;
    // Stops delivering; false when the source could not be removed.
    virtual bool remove() = 0;
};

// The backends the hook uses: one that reaches the whole desktop (none where
// the platform offers none) and one that sees the application's own windows.
struct KeyboardHookBackends {
    std::unique_ptr<IKeyboardHookBackend> desktop;
    std::unique_ptr<IKeyboardHookBackend> ownWindows;
};

// The platform's backends: the X11 grab on an X11 display, and the
// application-wide event filter.
KeyboardHookBackends createPlatformKeyboardHookBackends();

// Replaces the hook's backends (tests). The hook must be off.
void setKeyboardHookBackends(KeyboardHookBackends backends);
