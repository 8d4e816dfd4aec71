#include "WindowWatch.h"

#include <xcb/damage.h>

#include <poll.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeDeleter>;

}  // namespace

WindowWatch::WindowWatch(const std::string& display)
{
    connection_ = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(connection_) != 0) {
        return;
    }
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(connection_, &xcb_damage_id);
    if (damage == nullptr || !damage->present) {
        return;
    }
    Reply<xcb_damage_query_version_reply_t> version(xcb_damage_query_version_reply(
        connection_, xcb_damage_query_version(connection_, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION),
        nullptr));
    if (!version) {
        return;
    }
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
    // A round trip, so that the mask is in force before the program starts.
    Reply<xcb_get_input_focus_reply_t>(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    damageEvent_ = damage->first_event;
}

WindowWatch::~WindowWatch()
{
    if (connection_ != nullptr) {
        xcb_disconnect(connection_);
    }
}

xcb_atom_t WindowWatch::atom(const char* name)
{
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : XCB_NONE;
}

std::string WindowWatch::titleOf(xcb_window_t window)
{
    for (const auto& [property, type] : {std::pair{atom("_NET_WM_NAME"), atom("UTF8_STRING")},
                                         std::pair{static_cast<xcb_atom_t>(XCB_ATOM_WM_NAME),
                                                   static_cast<xcb_atom_t>(XCB_ATOM_STRING)}}) {
        Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, window, property, type, 0, 256), nullptr));
        if (reply && xcb_get_property_value_length(reply.get()) > 0) {
            return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                               static_cast<size_t>(xcb_get_property_value_length(reply.get())));
        }
    }
    return {};
}

std::optional<xcb_window_t> WindowWatch::waitForFirstPaint(const std::string& title,
                                                           std::chrono::milliseconds timeout)
{
    if (!ready()) {
        return std::nullopt;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        xcb_flush(connection_);
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            const Reply<xcb_generic_event_t> owned(event);
            const int type = event->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                const auto* created = reinterpret_cast<const xcb_create_notify_event_t*>(event);
                // Damage objects go with their window; the watch never frees them itself.
                xcb_damage_create(connection_, xcb_generate_id(connection_), created->window,
                                  XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            } else if (type == damageEvent_ + XCB_DAMAGE_NOTIFY) {
                const auto* damaged = reinterpret_cast<const xcb_damage_notify_event_t*>(event);
                // Report the next drawing too: the first may not be the frame yet.
                xcb_damage_subtract(connection_, damaged->damage, XCB_NONE, XCB_NONE);
                if (titleOf(damaged->drawable) == title && showsContent(damaged->drawable)) {
                    return damaged->drawable;
                }
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || xcb_connection_has_error(connection_) != 0) {
            return std::nullopt;
        }
        pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
        poll(&descriptor, 1, static_cast<int>(left.count()));
    }
}

bool WindowWatch::showsContent(xcb_window_t window)
{
    Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
    if (!geometry) {
        return false;
    }
    // The top middle of the window: the caption bar, never black once drawn.
    Reply<xcb_get_image_reply_t> image(xcb_get_image_reply(
        connection_,
        xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, static_cast<int16_t>(geometry->width / 2), 4, 1,
                      1, ~0u),
        nullptr));
    if (!image || xcb_get_image_data_length(image.get()) < 3) {
        return false;
    }
    const uint8_t* pixel = xcb_get_image_data(image.get());
    return (pixel[0] | pixel[1] | pixel[2]) != 0;
}

bool WindowWatch::viewable(xcb_window_t window)
{
    Reply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(connection_, xcb_get_window_attributes(connection_, window), nullptr));
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

std::optional<std::pair<int, int>> WindowWatch::position(xcb_window_t window)
{
    Reply<xcb_translate_coordinates_reply_t> reply(xcb_translate_coordinates_reply(
        connection_, xcb_translate_coordinates(connection_, window, root_, 0, 0), nullptr));
    if (!reply) {
        return std::nullopt;
    }
    return std::pair<int, int>{reply->dst_x, reply->dst_y};
}
