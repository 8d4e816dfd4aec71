#include "VirtualDisplay.h"

#include <xcb/xcb.h>

#include <filesystem>
#include <thread>

namespace {

bool displayAnswers(const std::string& name)
{
    xcb_connection_t* connection = xcb_connect(name.c_str(), nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

// True when a tray host owns the tray selection of screen 0.
bool trayOwned(const std::string& name)
{
    xcb_connection_t* connection = xcb_connect(name.c_str(), nullptr);
    bool owned = false;
    if (xcb_connection_has_error(connection) == 0) {
        static constexpr char kSelection[] = "_NET_SYSTEM_TRAY_S0";
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, sizeof kSelection - 1, kSelection), nullptr);
        if (atom != nullptr) {
            xcb_get_selection_owner_reply_t* owner =
                xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
            owned = owner != nullptr && owner->owner != XCB_NONE;
            free(owner);
            free(atom);
        }
    }
    xcb_disconnect(connection);
    return owned;
}

template <class Condition>
bool waitFor(Condition condition)
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

}  // namespace

VirtualDisplay::VirtualDisplay()
{
    int number = 120;
    while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number)) ||
           std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock")) {
        ++number;
    }
    const std::string name = ":" + std::to_string(number);
    server_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/bin/Xvfb", name, "-screen", "0", "1280x800x24", "-nolisten", "tcp"},
        ChildProcess::Environment{});
    if (server_->pid() >= 0 && waitFor([&] { return displayAnswers(name); })) {
        name_ = name;
    }
}

VirtualDisplay::~VirtualDisplay()
{
    trayHost_.reset();
    server_.reset();
}

bool VirtualDisplay::startTrayHost()
{
    if (name_.empty() || !std::filesystem::exists("/usr/bin/trayer")) {
        return false;
    }
    trayHost_ = std::make_unique<ChildProcess>(std::vector<std::string>{"/usr/bin/trayer", "--edge", "top"},
                                               ChildProcess::Environment{{"DISPLAY", name_}});
    return trayHost_->pid() >= 0 && waitFor([&] { return trayOwned(name_); });
}
