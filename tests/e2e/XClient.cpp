#include "XClient.h"

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <poll.h>

#include <cstdlib>
#include <memory>

#include "Waiting.h"

namespace {

constexpr uint16_t kReportedModifiers = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL;

struct Free {
    void operator()(void* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, Free>;

}  // namespace

std::string describe(const std::vector<ReceivedKey>& keys)
{
    std::string text;
    for (const ReceivedKey& k : keys) {
        text += k.press ? '+' : '-';
        text += std::to_string(k.keycode);
        if (k.modifiers) {
            text += '[';
            text += std::to_string(k.modifiers);
            text += ']';
        }
        text += ' ';
    }
    return text.empty() ? "(none)" : text;
}

XClient::~XClient()
{
    if (connection_) {
        xcb_disconnect(connection_);
    }
}

int XClient::fd() const { return xcb_get_file_descriptor(connection_); }

std::size_t XClient::keycodeCount() const
{
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    return static_cast<std::size_t>(setup->max_keycode - setup->min_keycode + 1);
}

bool XClient::open(std::chrono::milliseconds timeout)
{
    connection_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection_)) {
        return false;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    root_ = screen->root;
    window_ = xcb_generate_id(connection_);
    const uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                                        XCB_EVENT_MASK_FOCUS_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, root_, 600, 400, 200, 150, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK,
                      values);
    xcb_map_window(connection_, window_);
    xcb_flush(connection_);
    return takeFocus(timeout);
}

bool XClient::takeFocus(std::chrono::milliseconds timeout)
{
    focused_ = false;
    // The window manager maps the window a little later; ask until it is
    // viewable and the focus is ours.
    return pollUntil(
        [&] {
            pump();
            if (focused_) {
                return true;
            }
            Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
                connection_, xcb_get_window_attributes(connection_, window_), nullptr));
            if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE) {
                xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, window_, XCB_CURRENT_TIME);
            } else if (attributes && attributes->map_state == XCB_MAP_STATE_UNMAPPED) {
                // A window manager still starting up may have missed the request.
                xcb_map_window(connection_, window_);
            }
            xcb_flush(connection_);
            Reply<xcb_get_input_focus_reply_t> focus(
                xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
            focused_ = focus && focus->focus == window_;
            return focused_;
        },
        timeout);
}

void XClient::inject(uint8_t keycode, bool press)
{
    xcb_test_fake_input(connection_, press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, keycode, XCB_CURRENT_TIME, XCB_NONE, 0,
                        0, 0);
    lastInjection_ = std::chrono::steady_clock::now();
    xcb_flush(connection_);
}

void XClient::pump()
{
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        const uint8_t type = event->response_type & 0x7F;
        if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) {
            const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
            if (key->event == window_) {
                received_.push_back({type == XCB_KEY_PRESS, key->detail,
                                     static_cast<uint16_t>(key->state & kReportedModifiers)});
            }
        } else if (type == XCB_FOCUS_IN) {
            focused_ = reinterpret_cast<const xcb_focus_in_event_t*>(event)->event == window_;
        } else if (type == XCB_FOCUS_OUT) {
            focused_ = false;
        }
        std::free(event);
    }
}

std::set<int> XClient::keysGrabbedByOthers()
{
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    std::vector<std::pair<int, xcb_void_cookie_t>> cookies;
    for (int key = setup->min_keycode; key <= setup->max_keycode; ++key) {
        cookies.emplace_back(key, xcb_grab_key_checked(connection_, 0, root_, XCB_MOD_MASK_ANY,
                                                       static_cast<xcb_keycode_t>(key), XCB_GRAB_MODE_ASYNC,
                                                       XCB_GRAB_MODE_ASYNC));
    }
    std::set<int> refused;
    for (const auto& [key, cookie] : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(connection_, cookie)) {
            refused.insert(key);
            std::free(error);
        }
    }
    xcb_ungrab_key(connection_, XCB_GRAB_ANY, root_, XCB_MOD_MASK_ANY);
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    return refused;
}

bool XClient::holdKeyboard()
{
    Reply<xcb_grab_keyboard_reply_t> grab(xcb_grab_keyboard_reply(
        connection_,
        xcb_grab_keyboard(connection_, 0, root_, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
        nullptr));
    return grab && grab->status == XCB_GRAB_STATUS_SUCCESS;
}

void XClient::releaseKeyboard()
{
    xcb_ungrab_keyboard(connection_, XCB_CURRENT_TIME);
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

bool XClient::canGrabKeyboard()
{
    const bool grabbed = holdKeyboard();
    if (grabbed) {
        releaseKeyboard();
    }
    return grabbed;
}
