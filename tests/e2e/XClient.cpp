#include "XClient.h"

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <poll.h>

#include <cstdlib>
#include <cstring>
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

bool XClient::connect()
{
    connection_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection_)) {
        return false;
    }
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    return true;
}

bool XClient::open(std::chrono::milliseconds timeout)
{
    if (!connect()) {
        return false;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    window_ = xcb_generate_id(connection_);
    const uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                                        XCB_EVENT_MASK_FOCUS_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, root_, 600, 400, 200, 150, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK,
                      values);
    const std::string wmClass = std::string(kInstance) + '\0' + kInstance + '\0';
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        static_cast<uint32_t>(wmClass.size()), wmClass.data());
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

void XClient::stroke(uint8_t keycode)
{
    inject(keycode, true);
    inject(keycode, false);
}

void XClient::click(int x, int y, uint8_t button)
{
    xcb_test_fake_input(connection_, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root_, static_cast<int16_t>(x),
                        static_cast<int16_t>(y), 0);
    xcb_test_fake_input(connection_, XCB_BUTTON_PRESS, button, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(connection_, XCB_BUTTON_RELEASE, button, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

namespace {

// WM_CLASS: the instance name, a zero byte, the class name.
std::string wmClass(xcb_connection_t* c, xcb_window_t window)
{
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256), nullptr));
    if (!reply || xcb_get_property_value_length(reply.get()) <= 0) {
        return {};
    }
    const char* value = static_cast<const char*>(xcb_get_property_value(reply.get()));
    const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply.get()));
    return std::string(value, length);
}

std::string wmClassInstance(xcb_connection_t* c, xcb_window_t window)
{
    const std::string both = wmClass(c, window);
    return both.substr(0, both.find('\0'));
}

std::string wmClassName(xcb_connection_t* c, xcb_window_t window)
{
    const std::string both = wmClass(c, window);
    const std::size_t split = both.find('\0');
    if (split == std::string::npos) {
        return {};
    }
    const std::string rest = both.substr(split + 1);
    return rest.substr(0, rest.find('\0'));
}

std::vector<xcb_window_t> childrenOf(xcb_connection_t* c, xcb_window_t window)
{
    Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
    if (!tree) {
        return {};
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    return std::vector<xcb_window_t>(children, children + xcb_query_tree_children_length(tree.get()));
}

bool viewable(xcb_connection_t* c, xcb_window_t window)
{
    Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

// The first viewable window below `top` whose WM_CLASS instance (or class
// name) is `name`.
std::optional<xcb_window_t> findInstance(xcb_connection_t* c, xcb_window_t top, const std::string& name,
                                         bool byClassName = false)
{
    for (xcb_window_t child : childrenOf(c, top)) {
        if ((byClassName ? wmClassName(c, child) : wmClassInstance(c, child)) == name && viewable(c, child)) {
            return child;
        }
        if (auto found = findInstance(c, child, name, byClassName)) {
            return found;
        }
    }
    return std::nullopt;
}

xcb_atom_t atomNamed(xcb_connection_t* c, const char* name)
{
    Reply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return atom ? atom->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

}  // namespace

std::optional<ScreenRect> XClient::trayIcon(const std::string& instance)
{
    // The tray host embeds the icon's window in one of its own.
    {
        const auto host = findInstance(connection_, root_, "trayer", true);
        if (!host) {
            return std::nullopt;
        }
        const auto icon = findInstance(connection_, *host, instance);
        if (!icon) {
            return std::nullopt;
        }
        Reply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, *icon), nullptr));
        Reply<xcb_translate_coordinates_reply_t> at(xcb_translate_coordinates_reply(
            connection_, xcb_translate_coordinates(connection_, *icon, root_, 0, 0), nullptr));
        if (!geometry || !at) {
            return std::nullopt;
        }
        return ScreenRect{at->dst_x, at->dst_y, geometry->width, geometry->height};
    }
    return std::nullopt;
}

bool XClient::popupShown(const std::string& instance)
{
    for (xcb_window_t top : childrenOf(connection_, root_)) {
        Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(connection_, xcb_get_window_attributes(connection_, top), nullptr));
        if (attributes && attributes->override_redirect && attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
            wmClassInstance(connection_, top) == instance) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> XClient::stackingOrder()
{
    const xcb_atom_t stacking = atomNamed(connection_, "_NET_CLIENT_LIST_STACKING");
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, root_, stacking, XCB_ATOM_WINDOW, 0, 1024), nullptr));
    std::vector<std::string> order;
    if (!reply) {
        return order;
    }
    const auto* windows = static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / static_cast<int>(sizeof(xcb_window_t));
    for (int i = 0; i < count; ++i) {
        order.push_back(wmClassInstance(connection_, windows[i]));
    }
    return order;
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
