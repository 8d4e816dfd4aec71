#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct xcb_connection_t;

// X keycodes of the evdev keymap Xvfb uses.
namespace xkey {
inline constexpr uint8_t Escape = 9;
inline constexpr uint8_t Return = 36;
inline constexpr uint8_t A = 38;
inline constexpr uint8_t ShiftLeft = 50;
inline constexpr uint8_t C = 54;
inline constexpr uint8_t B = 56;
inline constexpr uint8_t ControlRight = 105;
inline constexpr uint8_t Up = 111;
inline constexpr uint8_t Down = 116;
inline constexpr uint8_t Delete = 119;
}  // namespace xkey

namespace xbutton {
inline constexpr uint8_t Left = 1;
inline constexpr uint8_t Right = 3;
}  // namespace xbutton

// A key event as an X client receives it.
struct ReceivedKey {
    bool press = true;
    uint8_t keycode = 0;
    uint16_t modifiers = 0;  // Shift and Control bits of the event's state
    bool operator==(const ReceivedKey&) const = default;
};
std::string describe(const std::vector<ReceivedKey>& keys);

// A rectangle in screen coordinates.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int centreX() const { return x + width / 2; }
    int centreY() const { return y + height / 2; }
    bool operator==(const ScreenRect&) const = default;
};

// Another program on the test's X display: a connection of its own with a
// focused window that records the keys it receives, and that injects keys
// through the XTEST extension as a keyboard would.
class XClient {
public:
    XClient() = default;
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    // Connects without a window of its own (to inject input and look).
    bool connect();
    // Connects, maps a window and waits until it has the input focus.
    bool open(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Gives the focus back to this client's window and waits for it.
    bool takeFocus(std::chrono::milliseconds timeout = std::chrono::seconds(5));

    // Injects a press or release of `keycode`; returns when the request is
    // on its way to the server (the time it was flushed is kept).
    void inject(uint8_t keycode, bool press);
    std::chrono::steady_clock::time_point lastInjection() const { return lastInjection_; }

    // A key typed (pressed and released) and a click, injected as above.
    void stroke(uint8_t keycode);
    void click(int x, int y, uint8_t button = xbutton::Left);
    void click(const ScreenRect& rect, uint8_t button = xbutton::Left) { click(rect.centreX(), rect.centreY(), button); }

    // The window of a program called `instance` (its WM_CLASS) embedded in
    // the system tray; none while there is none.
    std::optional<ScreenRect> trayIcon(const std::string& instance);
    // Whether a pop-up window (a menu, a drop-down list) of `instance` is shown.
    bool popupShown(const std::string& instance);
    // The window manager's client windows from the bottom to the top, by
    // WM_CLASS instance.
    std::vector<std::string> stackingOrder();
    // This client's own WM_CLASS instance.
    static constexpr const char* kInstance = "e2e-other";

    // Reads every event that has arrived; keys go to received().
    void pump();
    const std::vector<ReceivedKey>& received() const { return received_; }
    void clearReceived() { received_.clear(); }

    // The keycodes for which a passive grab with any modifier on the root
    // window is refused (another client holds a grab of that key).
    std::set<int> keysGrabbedByOthers();
    // Whether an active grab of the whole keyboard succeeds now; a
    // successful probe grab is released at once.
    bool canGrabKeyboard();
    // Holds an active keyboard grab until releaseKeyboard().
    bool holdKeyboard();
    void releaseKeyboard();

    int fd() const;
    // How many keycodes the server has.
    std::size_t keycodeCount() const;

private:
    bool waitForFocus(std::chrono::milliseconds timeout);

    xcb_connection_t* connection_ = nullptr;
    uint32_t root_ = 0;
    uint32_t window_ = 0;
    bool focused_ = false;
    std::vector<ReceivedKey> received_;
    std::chrono::steady_clock::time_point lastInjection_{};
};
