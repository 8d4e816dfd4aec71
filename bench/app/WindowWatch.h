#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <optional>
#include <string>

// Watches a display for new top-level windows and tells when one with a given
// title is first drawn into (the X server's damage report) and shows drawn
// pixels, which is when its first frame reaches the screen. Create it before starting the program.
class WindowWatch {
public:
    explicit WindowWatch(const std::string& display);
    ~WindowWatch();
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;

    // False when the display or its damage extension is missing.
    bool ready() const { return damageEvent_ >= 0; }

    // The window titled `title` once it has been drawn into; none on timeout.
    std::optional<xcb_window_t> waitForFirstPaint(const std::string& title, std::chrono::milliseconds timeout);

    // True while the window is mapped and viewable.
    bool viewable(xcb_window_t window);
    // Where the window is on the screen.
    std::optional<std::pair<int, int>> position(xcb_window_t window);

private:
    std::string titleOf(xcb_window_t window);
    // True when the window's caption area holds drawn pixels.
    bool showsContent(xcb_window_t window);
    xcb_atom_t atom(const char* name);

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
    int damageEvent_ = -1;
};
