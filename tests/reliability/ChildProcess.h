#pragma once

#include <functional>
#include <optional>
#include <string>

// Runs body in a forked child process and returns the text it produced, or
// none when the child did not finish normally (it crashed or threw). What
// the child changes (mounts, user id, limits) stays in the child.
std::optional<std::string> runInChildProcess(const std::function<std::string()>& body);
