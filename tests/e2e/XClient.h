#pragma once

#include <chrono>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

struct xcb_connection_t;

// X keycodes of the evdev keymap Xvfb uses.
namespace xkey {
inline constexpr uint8_t A = 38;
inline constexpr uint8_t B = 56;
inline constexpr uint8_t C = 54;
inline constexpr uint8_t ShiftLeft = 50;
inline constexpr uint8_t ControlRight = 105;
}  // namespace xkey

// A key event as an X client receives it.
struct ReceivedKey {
    bool press = true;
    uint8_t keycode = 0;
    uint16_t modifiers = 0;  // Shift and Control bits of the event's state
    bool operator==(const ReceivedKey&) const = default;
};
std::string describe(const std::vector<ReceivedKey>& keys);

// Another program on the test's X display: a connection of its own with a
// focused window that records the keys it receives, and that injects keys
// through the XTEST extension as a keyboard would.
class XClient {
public:
    XClient() = default;
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    // Connects, maps a window and waits until it has the input focus.
    bool open(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Gives the focus back to this client's window and waits for it.
    bool takeFocus(std::chrono::milliseconds timeout = std::chrono::seconds(5));

    // Injects a press or release of `keycode`; returns when the request is
    // on its way to the server (the time it was flushed is kept).
    void inject(uint8_t keycode, bool press);
    std::chrono::steady_clock::time_point lastInjection() const { return lastInjection_; }

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
