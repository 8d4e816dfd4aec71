#include "ui/widgets/CoordsFile.h"

#include "ui/widgets/DecimalList.h"

#include <QString>

#include <pugixml.hpp>

#include <array>
#include <cstdint>
#include <string>

namespace {

std::wstring wideText(const char* utf8)
{
    return QString::fromUtf8(utf8).toStdWString();
}

} // namespace

CoordRect parseCoordRect(std::wstring_view text)
{
    std::wstring compact;
    for (const wchar_t c : text) {
        if (c != L' ')
            compact.push_back(c);
    }
    std::array<std::int32_t, 4> fields{};
    scanDecimalList(compact, fields);
    const auto [left, top, width, height] = fields;
    // Right and bottom wrap like the 32-bit sums they are, instead of overflowing.
    const auto wrappedSum = [](std::int32_t a, std::int32_t b) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
    };
    return CoordRect{left, top, wrappedSum(left, width), wrappedSum(top, height)};
}

CoordButtonItems readCoordItems(const pugi::xml_document& document)
{
    CoordButtonItems items;
    for (const pugi::xml_node child : document.child("positions").children()) {
        if (child.type() != pugi::node_element)
            continue;
        CoordButtonItem item;
        item.id = child.attribute("id").as_int(-1);
        item.value = child.attribute("value").as_int(0);
        item.index = child.attribute("index").as_int(-1);
        item.name = wideText(child.attribute("name").as_string());
        item.bground = child.attribute("bground").as_uint(0);
        item.fground = child.attribute("fground").as_uint(0);
        item.rect = parseCoordRect(wideText(child.attribute("rect").as_string()));
        items.insert_or_assign(item.id, std::move(item));
    }
    return items;
}

CoordButtonItems loadCoordsFile(const std::filesystem::path& path)
{
    pugi::xml_document document;
    if (!document.load_file(path.c_str(), pugi::parse_default, pugi::encoding_auto))
        return {};
    return readCoordItems(document);
}
