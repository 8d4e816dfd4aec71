#include "ui/hook/X11KeyGrabBackend.h"

#include <xcb/xcb.h>
// The XKB header names a struct member "explicit", a C++ keyword.
#define explicit xkb_explicit
#include <xcb/xkb.h>
#undef explicit

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include "ui/KeyCodes.h"

namespace {

template <class T>
struct FreeDeleter {
    void operator()(T* p) const { std::free(p); }
};
template <class T>
using XcbReply = std::unique_ptr<T, FreeDeleter<T>>;

constexpr uint8_t kKeyPress = XCB_KEY_PRESS;
constexpr uint8_t kKeyRelease = XCB_KEY_RELEASE;
constexpr uint8_t kEventTypeMask = 0x7F;  // the high bit marks events sent by clients
constexpr uint16_t kNumLockMask = XCB_MOD_MASK_2;
constexpr uint16_t kAltMask = XCB_MOD_MASK_1;
constexpr uint16_t kCtrlMask = XCB_MOD_MASK_CONTROL;
constexpr int kModifierCombinations = 256;
constexpr std::string_view kEvdevKeycodes = "evdev";

// Key numbers follow evdev + 8 only under XKB keycodes named "evdev...".
bool hasEvdevKeycodes(xcb_connection_t* c)
{
    XcbReply<xcb_xkb_use_extension_reply_t> use(
        xcb_xkb_use_extension_reply(c, xcb_xkb_use_extension(c, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr));
    if (!use || !use->supported) {
        return false;
    }
    XcbReply<xcb_xkb_get_names_reply_t> names(xcb_xkb_get_names_reply(
        c, xcb_xkb_get_names(c, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_NAME_DETAIL_KEYCODES), nullptr));
    if (!names) {
        return false;
    }
    xcb_xkb_get_names_value_list_t list{};
    xcb_xkb_get_names_value_list_unpack(xcb_xkb_get_names_value_list(names.get()), names->nTypes, names->indicators,
                                        names->virtualMods, names->groupNames, names->nKeys, names->nKeyAliases,
                                        names->nRadioGroups, names->which, &list);
    XcbReply<xcb_get_atom_name_reply_t> atom(
        xcb_get_atom_name_reply(c, xcb_get_atom_name(c, list.keycodesName), nullptr));
    if (!atom) {
        return false;
    }
    const std::string_view name(xcb_get_atom_name_name(atom.get()),
                                static_cast<std::size_t>(xcb_get_atom_name_name_length(atom.get())));
    return name.substr(0, kEvdevKeycodes.size()) == kEvdevKeycodes;
}

// An active keyboard grab of another client makes passive grabs silent.
bool keyboardIsFree(xcb_connection_t* c, xcb_window_t root)
{
    XcbReply<xcb_grab_keyboard_reply_t> grab(xcb_grab_keyboard_reply(
        c, xcb_grab_keyboard(c, 0, root, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC), nullptr));
    if (!grab || grab->status != XCB_GRAB_STATUS_SUCCESS) {
        return false;
    }
    xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
    return true;
}

xcb_void_cookie_t grabKey(xcb_connection_t* c, xcb_window_t root, uint16_t modifiers, xcb_keycode_t key)
{
    return xcb_grab_key_checked(c, 0, root, modifiers, key, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_SYNC);
}

}  // namespace

X11KeyGrabBackend::~X11KeyGrabBackend() { remove(); }

bool X11KeyGrabBackend::install()
{
    if (connection_) {
        return true;
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return false;
    }
    const xcb_setup_t* setup = xcb_get_setup(c);
    root_ = xcb_setup_roots_iterator(setup).data->root;
    connection_ = c;
    if (!hasEvdevKeycodes(c) || !keyboardIsFree(c, root_) || !grabKeys()) {
        ungrabKeys();
        xcb_disconnect(c);
        connection_ = nullptr;
        return false;
    }
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) {
        ungrabKeys();
        xcb_disconnect(c);
        connection_ = nullptr;
        return false;
    }
    stop_ = false;
    activeGrab_ = false;
    frozen_ = false;
    held_.reset();
    handoff_.reset();
    thread_ = std::thread([this] { run(); });
    return true;
}

bool X11KeyGrabBackend::grabKeys()
{
    // A grab with AnyModifier fails for keys the window manager binds with
    // some modifiers; those get every combination that is still free.
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    std::vector<std::pair<xcb_keycode_t, xcb_void_cookie_t>> cookies;
    for (int key = setup->min_keycode; key <= setup->max_keycode; ++key) {
        const auto code = static_cast<xcb_keycode_t>(key);
        cookies.emplace_back(code, grabKey(connection_, root_, XCB_MOD_MASK_ANY, code));
    }
    std::vector<xcb_void_cookie_t> retries;
    for (const auto& [code, cookie] : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(connection_, cookie)) {
            std::free(error);
            for (int mods = 0; mods < kModifierCombinations; ++mods) {
                retries.push_back(grabKey(connection_, root_, static_cast<uint16_t>(mods), code));
            }
        }
    }
    for (const xcb_void_cookie_t& cookie : retries) {
        std::free(xcb_request_check(connection_, cookie));
    }
    return xcb_flush(connection_) > 0;
}

void X11KeyGrabBackend::ungrabKeys()
{
    xcb_ungrab_key(connection_, XCB_GRAB_ANY, root_, XCB_MOD_MASK_ANY);
    xcb_ungrab_keyboard(connection_, XCB_CURRENT_TIME);
    // A round trip: once the hook is off, the server has let go of every key.
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

bool X11KeyGrabBackend::remove()
{
    if (!connection_) {
        return true;
    }
    stop_ = true;
    handoff_.cancel();
    const uint64_t one = 1;
    if (write(wakeFd_, &one, sizeof one) != static_cast<ssize_t>(sizeof one)) {
        // The thread also sees stop_ at its next poll time-out.
    }
    thread_.join();
    ungrabKeys();
    xcb_disconnect(connection_);
    connection_ = nullptr;
    close(wakeFd_);
    wakeFd_ = -1;
    return true;
}

void X11KeyGrabBackend::run()
{
    constexpr int kPollTimeoutMs = 100;
    pollfd fds[2] = {{xcb_get_file_descriptor(connection_), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    while (!stop_) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            const uint8_t type = event->response_type & kEventTypeMask;
            if (!stop_ && (type == kKeyPress || type == kKeyRelease)) {
                handleKey(*reinterpret_cast<xcb_key_press_event_t*>(event), type == kKeyRelease);
            }
            std::free(event);
        }
        if (xcb_connection_has_error(connection_)) {
            return;
        }
        poll(fds, 2, kPollTimeoutMs);
    }
    // A key still frozen goes on before the grab is dropped.
    if (frozen_) {
        allowEvents(activeGrab_ ? XCB_ALLOW_ASYNC_KEYBOARD : XCB_ALLOW_REPLAY_KEYBOARD, XCB_CURRENT_TIME);
    }
}

void X11KeyGrabBackend::allowEvents(uint8_t mode, uint32_t time)
{
    xcb_allow_events(connection_, mode, time);
    xcb_flush(connection_);
    frozen_ = mode == XCB_ALLOW_SYNC_KEYBOARD;
}

void X11KeyGrabBackend::handleKey(const xcb_key_press_event_t& event, bool release)
{
    // A press that activates the passive grab freezes the keyboard; so does
    // every event while our active grab runs in synchronous mode.
    frozen_ = activeGrab_ || !release;
    const xcb_keycode_t key = event.detail;
    const bool numLock = event.state & kNumLockMask;
    const std::optional<KeyHookEvent> mapped =
        keyEventOfEvdev(static_cast<int>(key) - kX11EvdevKeycodeOffset, numLock, release);

    bool swallowed = false;
    if (mapped) {
        KeyHookEvent hookEvent = *mapped;
        hookEvent.time = event.time;
        const bool alt = (event.state & kAltMask) || hookEvent.vkCode == 0xA4 || hookEvent.vkCode == 0xA5;
        if (alt) {
            hookEvent.flags |= LLKHF_ALTDOWN;
        }
        const unsigned message = keyMessageOf(release, alt, event.state & kCtrlMask);
        swallowed = handoff_.offer(message, hookEvent) == KeyHandoff::Answer::Swallowed;
    }

    if (!activeGrab_) {
        if (release) {
            return;  // not frozen: the passive grab ended with an earlier release
        }
        if (!swallowed) {
            allowEvents(XCB_ALLOW_REPLAY_KEYBOARD, event.time);
            return;
        }
        // Keep the keyboard until the key is up, so its release is ours too.
        xcb_discard_reply(connection_, xcb_grab_keyboard(connection_, 0, root_, event.time, XCB_GRAB_MODE_ASYNC,
                                                         XCB_GRAB_MODE_SYNC).sequence);
        activeGrab_ = true;
        held_.set(key);
        allowEvents(XCB_ALLOW_SYNC_KEYBOARD, event.time);
        return;
    }
    if (release) {
        held_.reset(key);
    } else {
        held_.set(key);
    }
    if (held_.none()) {
        // Ungrabbing thaws the keyboard.
        xcb_ungrab_keyboard(connection_, event.time);
        xcb_flush(connection_);
        activeGrab_ = false;
        frozen_ = false;
        return;
    }
    allowEvents(XCB_ALLOW_SYNC_KEYBOARD, event.time);
}
