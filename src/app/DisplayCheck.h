#pragma once

#include <optional>
#include <string>

// Why no window could be shown (no display set, or the X display cannot be
// reached), or none when the display looks usable. Checked before the
// window system is opened, which would otherwise abort the process.
std::optional<std::string> displayProblem();
