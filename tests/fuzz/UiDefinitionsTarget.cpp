// The UI definitions of a resource package and the value tables they name:
// the definitions ("UIDEF:fuzz"), then the string, colour and skin tables
// they may load ("values:string", "values:color", "values:skin") and one
// further skin table ("SKIN:fuzz"). Images named by the skins come from the
// toolkit's own resources. Loading never stops on a bad table, and every
// skin it keeps draws any of its states.

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "FuzzToolkit.h"

#include "toolkit/SApplication.h"
#include "toolkit/UiDefinitions.h"

#include <QImage>
#include <QPainter>
#include <QString>

#include <pugixml.hpp>

#include <memory>

#include <string>
#include <vector>

FUZZ_TARGET(ui_definitions)
{
    SApplication& app = fuzzToolkit();
    const auto parts = splitFuzzInput(fuzzText(data, size), 5);
    const char* const names[] = {"UIDEF:fuzz", "values:string", "values:color", "values:skin", "SKIN:fuzz"};
    for (std::size_t i = 0; i < parts.size(); ++i)
        fuzzResources().set(QString::fromLatin1(names[i]), parts[i]);

    // Skins of the input go into the application's pool; the next input
    // starts again from the project's skins.
    const SkinPool projectSkins = app.skinPool();
    UiDefinitions definitions;
    std::vector<QString> diagnostics;
    const bool loaded = definitions.load(app, L"UIDEF:fuzz", diagnostics);
    fuzzRequire(loaded || !diagnostics.empty(), "definitions that do not load say why");
    fuzzRequire(definitions.namedString(static_cast<int>(definitions.stringCount())).empty(),
                "there is no named string past the last");

    // Every skin a table names can draw each of its states, and beyond.
    QImage canvas(12, 12, QImage::Format_ARGB32_Premultiplied);
    for (const std::size_t table : {3u, 4u}) {
        pugi::xml_document document;
        if (!document.load_buffer(parts[table].data(), parts[table].size()))
            continue;
        for (const pugi::xml_node& node : document.document_element().children()) {
            const std::shared_ptr<ISkin> skin = app.skinPool().get(QString::fromUtf8(node.attribute("name").value()).toStdWString());
            if (!skin)
                continue;
            fuzzRequire(skin->states() >= 1, "a skin has a state");
            QPainter painter(&canvas);
            for (const int state : {0, skin->states() - 1, skin->states()})
                skin->draw(painter, QRectF(1, 1, 10, 10), state);
        }
    }
    app.skinPool() = projectSkins;
}
