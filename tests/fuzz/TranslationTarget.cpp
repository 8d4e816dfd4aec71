// A translation file of the resource package. A file that loads gives back
// every text it lists; one that does not leaves the language loaded before
// it as it was.

#include "FuzzCheck.h"
#include "FuzzTarget.h"

#include "toolkit/Translator.h"
#include "toolkit/XmlSource.h"

#include <QByteArray>

#include <memory>

namespace {

const Translator& previousLanguage()
{
    static const Translator language = [] {
        XmlSource source;
        source.parse(QByteArrayLiteral("<language name=\"before\"><context name=\"page\">"
                                       "<message src=\"Apply\" tr=\"OK\"/></context></language>"),
                     QStringLiteral("before.xml"));
        Translator t;
        fuzzRequire(t.load(source.root()), "the previous language loads");
        return t;
    }();
    return language;
}

}  // namespace

FUZZ_TARGET(translation)
{
    XmlSource source;
    if (!source.parse(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
                      QStringLiteral("input.xml"))) {
        fuzzRequire(!source.error().isEmpty(), "a file that does not parse says why");
        return;
    }
    Translator translator = previousLanguage();
    if (!translator.load(source.root())) {
        fuzzRequire(translator.name() == previousLanguage().name() && translator.keys() == previousLanguage().keys(),
                    "a file that does not load leaves the previous language alone");
        return;
    }
    TranslatorManager manager;
    manager.installTranslator(std::make_shared<Translator>(translator));
    for (const auto& [context, text] : translator.keys()) {
        const auto translated = translator.translate(text, context);
        fuzzRequire(translated.has_value(), "every listed text is translated in its context");
        fuzzRequire(text.isEmpty() || manager.translate(text, context) == *translated,
                    "the manager gives the installed language's text");
    }
    fuzzRequire(manager.uninstallTranslator(translator.name()), "an installed language can be removed");
}
