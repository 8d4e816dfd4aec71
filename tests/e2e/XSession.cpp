#include "XSession.h"

#include <xcb/xcb.h>

#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "Waiting.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kStartTimeout = 10s;

// Reads the display number Xvfb writes to its -displayfd pipe.
std::string readDisplayNumber(int fd, std::chrono::milliseconds timeout)
{
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (text.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left <= 0ms) {
            return {};
        }
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            return {};
        }
        char buffer[32];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            return {};
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text.substr(0, text.find('\n'));
}

xcb_atom_t internAtom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t value = atom ? atom->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(atom);
    return value;
}

}  // namespace

XSession::~XSession() { stop(); }

bool XSession::startXvfb(const Options& options)
{
    int fds[2];
    if (pipe(fds) != 0) {
        error_ = "pipe failed";
        return false;
    }
    const std::string screen = std::to_string(options.width) + "x" + std::to_string(options.height) + "x24";
    ChildProcess::Options keepPipe;
    keepPipe.keepFd = fds[1];
    const bool started = xvfb_.start({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen,
                                      "-nolisten", "tcp", "-noreset"},
                                     keepPipe);
    close(fds[1]);
    const std::string number = started ? readDisplayNumber(fds[0], kStartTimeout) : std::string();
    close(fds[0]);
    if (number.empty()) {
        error_ = started ? "Xvfb did not report a display" : "Xvfb could not be started";
        return false;
    }
    display_ = ":" + number;
    setenv("DISPLAY", display_.c_str(), 1);
    // A key held while a test waits must not repeat: tests type exact
    // sequences of presses and releases.
    xcb_connection_t* c = xcb_connect(display_.c_str(), nullptr);
    const uint32_t autoRepeatOff = XCB_AUTO_REPEAT_MODE_OFF;
    xcb_change_keyboard_control(c, XCB_KB_AUTO_REPEAT_MODE, &autoRepeatOff);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    xcb_disconnect(c);
    return true;
}

bool XSession::waitForSelectionOwner(const char* selection, std::chrono::milliseconds timeout)
{
    xcb_connection_t* c = xcb_connect(display_.c_str(), nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return false;
    }
    const xcb_atom_t name = internAtom(c, selection);
    const bool owned = pollUntil(
        [&] {
            xcb_get_selection_owner_reply_t* owner =
                xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, name), nullptr);
            const bool has = owner && owner->owner != XCB_NONE;
            std::free(owner);
            return has;
        },
        timeout);
    xcb_disconnect(c);
    return owned;
}

bool XSession::waitForRootProperty(const char* property, std::chrono::milliseconds timeout)
{
    xcb_connection_t* c = xcb_connect(display_.c_str(), nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return false;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t name = internAtom(c, property);
    const bool present = pollUntil(
        [&] {
            xcb_get_property_reply_t* reply =
                xcb_get_property_reply(c, xcb_get_property(c, 0, root, name, XCB_ATOM_ANY, 0, 1), nullptr);
            const bool has = reply && reply->type != XCB_NONE;
            std::free(reply);
            return has;
        },
        timeout);
    xcb_disconnect(c);
    return present;
}

bool XSession::start(const Options& options)
{
    // Qt's tray icon would go to a StatusNotifier watcher on the session bus.
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    if (!startXvfb(options)) {
        return false;
    }
    if (!windowManager_.start({"openbox", "--sm-disable"}) || !waitForRootProperty("_NET_SUPPORTING_WM_CHECK", kStartTimeout)) {
        error_ = "openbox did not take the screen";
        return false;
    }
    if (options.tray && !restartTray()) {
        return false;
    }
    return true;
}

bool XSession::restartTray()
{
    tray_.stop();
    if (!tray_.start({"trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120",
                      "--height", "32", "--SetDockType", "true", "--transparent", "false"}) ||
        !waitForSelectionOwner("_NET_SYSTEM_TRAY_S0", kStartTimeout)) {
        error_ = "trayer did not take the tray";
        return false;
    }
    return true;
}

void XSession::stop()
{
    tray_.stop();
    windowManager_.stop();
    xvfb_.stop();
}
