#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

// Exit statuses of mousectl.
inline constexpr int kExitDone = 0;
inline constexpr int kExitUnavailable = 1;  // the mouse is absent, or a file could not be written
inline constexpr int kExitBadArguments = 2;

// Runs mousectl with the arguments after the program name. The application
// directory (config.xml, the profile files) is `--dir` or else
// `defaultDirectory`. Results go to `out`, one-line errors to `err`.
int runMouseCtl(const std::vector<std::string>& arguments, const std::filesystem::path& defaultDirectory,
                std::ostream& out, std::ostream& err);
