// The coords file of the button picture, from the resource package, and the
// rectangle text of its items read on its own.

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include "ui/widgets/CoordsFile.h"

#include <pugixml.hpp>

#include <string>

FUZZ_TARGET(coords_file)
{
    const std::string text(fuzzText(data, size));
    static_cast<void>(parseCoordRect(pugi::as_wide(text)));

    pugi::xml_document document;
    if (!document.load_buffer(data, size, pugi::parse_default, pugi::encoding_auto))
        return;
    const CoordButtonItems items = readCoordItems(document);
    for (const auto& [id, item] : items)
        fuzzRequire(id == item.id, "items are keyed by their id");
}
