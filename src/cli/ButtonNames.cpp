#include "cli/ButtonNames.h"

#include <pugixml.hpp>

std::map<int, std::wstring> loadButtonNames(const std::filesystem::path& applicationDirectory)
{
    std::map<int, std::wstring> names;
    pugi::xml_document document;
    if (!document.load_file((applicationDirectory / kButtonCoordsFile).c_str())) {
        return names;
    }
    for (const pugi::xml_node& button : document.child("positions").children()) {
        const pugi::xml_attribute id = button.attribute("id");
        if (button.type() == pugi::node_element && id) {
            names.insert_or_assign(id.as_int(), pugi::as_wide(button.attribute("name").value()));
        }
    }
    return names;
}
