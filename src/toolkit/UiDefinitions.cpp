#include "toolkit/UiDefinitions.h"

#include "toolkit/AttributeValue.h"
#include "toolkit/Color.h"
#include "toolkit/SApplication.h"
#include "toolkit/Skin.h"
#include "toolkit/TextUtil.h"
#include "toolkit/XmlSource.h"

#include <string>

namespace {

const QString kStringRef = QStringLiteral("@string/");
const QString kColorRef = QStringLiteral("@color/");

QString text(const pugi::xml_attribute& a) { return QString::fromUtf8(a.value()); }

void report(std::vector<QString>& diagnostics, const XmlSource& source, const pugi::xml_node& node, const QString& what)
{
    diagnostics.push_back(source.where(node) + QStringLiteral(": ") + what);
}

bool loadTable(SApplication& app, const QString& resource, XmlSource& out, std::vector<QString>& diagnostics)
{
    if (!app.loadXml(resource.toStdWString(), out)) {
        diagnostics.push_back(out.error().isEmpty() ? resource + QStringLiteral(": missing") : out.error());
        return false;
    }
    return true;
}

std::shared_ptr<ISkin> imageSkin(SApplication& app, const XmlSource& table, const pugi::xml_node& node,
                                 std::vector<QString>& diagnostics)
{
    ImageSkin::Options options;
    const QString src = text(node.attribute("src"));
    for (const pugi::xml_attribute& a : node.attributes()) {
        const std::string_view name = a.name();
        const std::wstring value = text(a).toStdWString();
        bool ok = true;
        if (name == "states") {
            const auto n = attrToStrictInt(value);
            ok = n && *n >= 1;
            options.states = ok ? *n : 1;
        } else if (name == "vertical") {
            const auto b = attrToBool(value);
            ok = b.has_value();
            options.vertical = b.value_or(false);
        } else if (name == "margin") {
            const auto m = attrToMargins(value);
            ok = m.has_value();
            options.margins = m.value_or(QMargins());
        } else if (name != "name" && name != "src") {
            report(diagnostics, table, node, QStringLiteral("unknown attribute \"%1\" on <image>").arg(QString::fromUtf8(a.name())));
            continue;
        }
        if (!ok) {
            report(diagnostics, table, node, QStringLiteral("bad value \"%1\" for \"%2\"").arg(text(a), QString::fromUtf8(a.name())));
        }
    }
    const auto data = app.readResource(src.toStdWString());
    if (!data) {
        report(diagnostics, table, node, QStringLiteral("image \"%1\" not found").arg(src));
        return nullptr;
    }
    auto skin = ImageSkin::fromData(*data, options);
    if (!skin) {
        report(diagnostics, table, node, QStringLiteral("image \"%1\" cannot be read").arg(src));
    }
    return skin;
}

std::shared_ptr<ISkin> colorSkin(const SApplication& app, const XmlSource& table, const pugi::xml_node& node,
                                 std::vector<QString>& diagnostics)
{
    std::vector<QColor> colors;
    qreal radius = 0;
    QColor border;
    for (const pugi::xml_attribute& a : node.attributes()) {
        const std::string_view name = a.name();
        if (name == "values") {
            for (const QString& part : text(a).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                const auto color = app.uiDefinitions().parseColor(part.trimmed().toStdWString());
                if (!color) {
                    report(diagnostics, table, node, QStringLiteral("bad colour \"%1\"").arg(part));
                    return nullptr;
                }
                colors.push_back(*color);
            }
        } else if (name == "radius") {
            const auto r = attrToStrictInt(text(a).toStdWString());
            if (!r || *r < 0) {
                report(diagnostics, table, node, QStringLiteral("bad value \"%1\" for \"radius\"").arg(text(a)));
            }
            radius = r.value_or(0);
        } else if (name == "border") {
            const auto color = app.uiDefinitions().parseColor(text(a).toStdWString());
            if (!color) {
                report(diagnostics, table, node, QStringLiteral("bad colour \"%1\"").arg(text(a)));
            }
            border = color.value_or(QColor());
        } else if (name != "name") {
            report(diagnostics, table, node, QStringLiteral("unknown attribute \"%1\" on <colors>").arg(QString::fromUtf8(a.name())));
        }
    }
    if (colors.empty()) {
        report(diagnostics, table, node, QStringLiteral("<colors> needs \"values\""));
        return nullptr;
    }
    return std::make_shared<ColorSkin>(std::move(colors), radius, border);
}

}  // namespace

void UiDefinitions::loadSkinTable(SApplication& app, const XmlSource& table, std::vector<QString>& diagnostics)
{
    const pugi::xml_node root = table.root();
    if (std::string_view(root.name()) != "skin") {
        report(diagnostics, table, root, QStringLiteral("skin table root must be <skin>"));
        return;
    }
    for (const pugi::xml_node& node : root.children()) {
        if (node.type() != pugi::node_element) {
            continue;
        }
        const std::string_view kind = node.name();
        const QString name = text(node.attribute("name"));
        if (name.isEmpty()) {
            report(diagnostics, table, node, QStringLiteral("skin without \"name\""));
            continue;
        }
        std::shared_ptr<ISkin> skin;
        if (kind == "image") {
            skin = imageSkin(app, table, node, diagnostics);
        } else if (kind == "colors") {
            skin = colorSkin(app, table, node, diagnostics);
        } else {
            report(diagnostics, table, node, QStringLiteral("unknown skin kind <%1>").arg(QString::fromUtf8(node.name())));
            continue;
        }
        if (skin) {
            app.skinPool().add(name.toStdWString(), std::move(skin));
        }
    }
}

bool UiDefinitions::load(SApplication& app, std::wstring_view resourceName, std::vector<QString>& diagnostics)
{
    XmlSource definitions;
    if (!app.loadXml(resourceName, definitions)) {
        diagnostics.push_back(definitions.error().isEmpty() ? toQString(resourceName) + QStringLiteral(": missing")
                                                            : definitions.error());
        return false;
    }
    const pugi::xml_node root = definitions.root();
    if (std::string_view(root.name()) != "uidef") {
        report(diagnostics, definitions, root, QStringLiteral("root must be <uidef>"));
        return false;
    }
    // Strings and colours first: skins may name colours.
    for (const char* kind : {"string", "color", "skin"}) {
        for (const pugi::xml_node& node : root.children(kind)) {
            XmlSource table;
            if (!loadTable(app, text(node.attribute("src")), table, diagnostics)) {
                continue;
            }
            if (std::string_view(kind) == "string") {
                loadStrings(table, diagnostics);
            } else if (std::string_view(kind) == "color") {
                loadColors(table, diagnostics);
            } else {
                loadSkinTable(app, table, diagnostics);
            }
        }
    }
    for (const pugi::xml_node& node : root.children()) {
        const std::string_view kind = node.name();
        if (node.type() == pugi::node_element && kind != "string" && kind != "color" && kind != "skin") {
            report(diagnostics, definitions, node, QStringLiteral("unknown element <%1>").arg(QString::fromUtf8(node.name())));
        }
    }
    for (const std::wstring& name : app.resourceNamesOfType(L"SKIN")) {
        XmlSource table;
        if (loadTable(app, QStringLiteral("SKIN:") + toQString(name), table, diagnostics)) {
            loadSkinTable(app, table, diagnostics);
        }
    }
    return true;
}

void UiDefinitions::loadStrings(const XmlSource& table, std::vector<QString>& diagnostics)
{
    for (const pugi::xml_node& node : table.root().children()) {
        if (node.type() != pugi::node_element) {
            continue;
        }
        if (!node.attribute("value")) {
            report(diagnostics, table, node, QStringLiteral("string without \"value\""));
        }
        strings_.emplace_back(QString::fromUtf8(node.name()), text(node.attribute("value")));
    }
}

void UiDefinitions::loadColors(const XmlSource& table, std::vector<QString>& diagnostics)
{
    for (const pugi::xml_node& node : table.root().children()) {
        if (node.type() != pugi::node_element) {
            continue;
        }
        const auto color = parseColorText(text(node.attribute("value")).toStdWString());
        if (!color) {
            report(diagnostics, table, node, QStringLiteral("bad colour \"%1\"").arg(text(node.attribute("value"))));
            continue;
        }
        colors_.emplace_back(QString::fromUtf8(node.name()), *color);
    }
}

std::wstring UiDefinitions::namedString(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= strings_.size()) {
        return std::wstring();
    }
    return strings_[static_cast<size_t>(index)].second.toStdWString();
}

std::optional<QString> UiDefinitions::stringByName(const QString& name) const
{
    for (const auto& [n, value] : strings_) {
        if (n.compare(name, Qt::CaseInsensitive) == 0) {
            return value;
        }
    }
    return std::nullopt;
}

std::optional<QColor> UiDefinitions::colorByName(const QString& name) const
{
    for (const auto& [n, value] : colors_) {
        if (n.compare(name, Qt::CaseInsensitive) == 0) {
            return value;
        }
    }
    return std::nullopt;
}

QString UiDefinitions::expandString(const QString& value) const
{
    if (!value.startsWith(kStringRef)) {
        return value;
    }
    return stringByName(value.mid(kStringRef.size())).value_or(value);
}

std::optional<QColor> UiDefinitions::parseColor(std::wstring_view value) const
{
    const QString t = toQString(value).trimmed();
    if (t.startsWith(kColorRef)) {
        return colorByName(t.mid(kColorRef.size()));
    }
    return parseColorText(value);
}
