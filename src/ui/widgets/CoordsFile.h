#pragma once

#include "ui/widgets/CoordButtonItem.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string_view>

namespace pugi {
class xml_document;
}

// The items of a button picture, keyed and ordered by id.
using CoordButtonItems = std::map<std::int32_t, CoordButtonItem>;

// Reads the children of the top-level element "positions", one item per child
// of any element name. An item whose id repeats an earlier one replaces it.
CoordButtonItems readCoordItems(const pugi::xml_document& document);

// Loads a coords file; a file that cannot be read or parsed gives no items.
CoordButtonItems loadCoordsFile(const std::filesystem::path& path);

// "left,top,width,height" with spaces removed first, read like "%d,%d,%d,%d":
// the fields read before the first mismatch are kept, the rest stay 0.
CoordRect parseCoordRect(std::wstring_view text);
