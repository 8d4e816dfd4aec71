#include "app/DisplayCheck.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>

namespace {

std::string_view environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string_view(value) : std::string_view();
}

constexpr char kHint[] = "; run it in a desktop session, or under a virtual display: xvfb-run -a mousecfg --simulate";

}  // namespace

std::optional<std::string> displayProblem()
{
    const std::string_view platform = environment("QT_QPA_PLATFORM");
    const bool x11Asked = platform.starts_with("xcb");
    if (!platform.empty() && !x11Asked) {
        return std::nullopt;  // another window system chosen on purpose (wayland, offscreen, ...)
    }
    if (!x11Asked && !environment("WAYLAND_DISPLAY").empty()) {
        return std::nullopt;
    }
    const std::string_view display = environment("DISPLAY");
    if (display.empty()) {
        return std::string("no display: DISPLAY is not set") + kHint;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool failed = xcb_connection_has_error(connection) != 0;
    xcb_disconnect(connection);
    if (failed) {
        return "no display: cannot connect to the X display \"" + std::string(display) + "\"" + kHint;
    }
    return std::nullopt;
}
