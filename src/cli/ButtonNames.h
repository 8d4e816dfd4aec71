#pragma once

#include <filesystem>
#include <map>
#include <string>

// Where the button picture's coordinates file, which names the buttons, lies
// below the application directory.
inline constexpr char kButtonCoordsFile[] = "uires/coords/img_keyboard.xml";

// Button id -> name, read from the children of the top-level "positions"
// element of the coordinates file (attributes "id" and "name"); empty when
// the file cannot be read. The settings page names its records this way.
std::map<int, std::wstring> loadButtonNames(const std::filesystem::path& applicationDirectory);
