#pragma once

#include <QColor>
#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class SApplication;
class XmlSource;
namespace pugi {
class xml_node;
}

// The UI definitions of a resource package: named strings (ordered; entry 1
// is the instance name), named colours, and the skins they load into the
// application's skin pool.
//
//   <uidef>                              (resource UIDEF:XML_INIT)
//     <string src="values:string"/>      <string><title value="..."/><instance value="..."/></string>
//     <color src="values:color"/>        <color><accent value="#1fd0f8"/></color>
//     <skin src="values:skin"/>          <skin><image .../><colors .../></skin>
//   </uidef>
//
// Skin tables: <image name="skin_btn" src="ctrl:button" states="4" vertical="0" margin="8,8,8,8"/>
// cuts an SVG or PNG resource into states; <colors name="row" values="#0000;#fff1;#1fd0f855"
// radius="4" border="#464f5d"/> gives one solid colour per state. After the
// tables named in the definitions, every resource of type SKIN is loaded as a
// further table, in index order; a later skin of the same name replaces an earlier one.
class UiDefinitions {
public:
    // Loads the definitions and everything they name; problems are appended
    // to `diagnostics` ("file:line: message"). False when the definitions
    // resource itself is missing or malformed.
    bool load(SApplication& app, std::wstring_view resourceName, std::vector<QString>& diagnostics);
    // Loads one skin table into the application's skin pool.
    static void loadSkinTable(SApplication& app, const XmlSource& table, std::vector<QString>& diagnostics);

    // Named string by position, or empty.
    std::wstring namedString(int index) const;
    std::optional<QString> stringByName(const QString& name) const;
    std::optional<QColor> colorByName(const QString& name) const;
    size_t stringCount() const { return strings_.size(); }

    // "@string/name" gives the named string, other text stays.
    QString expandString(const QString& text) const;
    // A colour text: "@color/name" or what parseColorText reads.
    std::optional<QColor> parseColor(std::wstring_view text) const;

private:
    void loadStrings(const XmlSource& table, std::vector<QString>& diagnostics);
    void loadColors(const XmlSource& table, std::vector<QString>& diagnostics);

    std::vector<std::pair<QString, QString>> strings_;
    std::vector<std::pair<QString, QColor>> colors_;
};
