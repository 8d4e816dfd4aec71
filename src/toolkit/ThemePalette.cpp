#include "toolkit/ThemePalette.h"

#include "toolkit/UiDefinitions.h"

#include <initializer_list>

namespace {

void setRoles(QPalette& palette, const UiDefinitions& definitions, const char* name,
              std::initializer_list<QPalette::ColorRole> roles, QPalette::ColorGroup group = QPalette::All)
{
    const std::optional<QColor> colour = definitions.colorByName(QString::fromLatin1(name));
    if (!colour)
        return;
    for (const QPalette::ColorRole role : roles)
        palette.setColor(group, role, *colour);
}

} // namespace

QPalette themePalette(const UiDefinitions& definitions, const QPalette& base)
{
    QPalette palette = base;
    // The accent is light: text on a selection takes the background colour.
    setRoles(palette, definitions, "bg", {QPalette::Window, QPalette::Shadow, QPalette::HighlightedText});
    setRoles(palette, definitions, "panel", {QPalette::Base, QPalette::Button});
    setRoles(palette, definitions, "panel_high", {QPalette::AlternateBase, QPalette::ToolTipBase, QPalette::Light});
    setRoles(palette, definitions, "line", {QPalette::Mid, QPalette::Midlight, QPalette::Dark});
    setRoles(palette, definitions, "text",
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText,
              QPalette::BrightText});
    setRoles(palette, definitions, "muted", {QPalette::PlaceholderText});
    setRoles(palette, definitions, "accent", {QPalette::Highlight, QPalette::Link});
    setRoles(palette, definitions, "disabled", {QPalette::WindowText, QPalette::Text, QPalette::ButtonText},
             QPalette::Disabled);
    return palette;
}
