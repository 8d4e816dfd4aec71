#include "toolkit/Translator.h"

#include <pugixml.hpp>

#include <algorithm>

bool Translator::load(const pugi::xml_node& language)
{
    if (std::string_view(language.name()) != "language") {
        return false;
    }
    QHash<QString, QHash<QString, QString>> contexts;
    for (const pugi::xml_node& context : language.children("context")) {
        auto& texts = contexts[QString::fromUtf8(context.attribute("name").value())];
        for (const pugi::xml_node& message : context.children("message")) {
            const pugi::xml_attribute src = message.attribute("src");
            if (!src) {
                return false;
            }
            texts.insert(QString::fromUtf8(src.value()), QString::fromUtf8(message.attribute("tr").value()));
        }
    }
    name_ = QString::fromUtf8(language.attribute("name").value());
    contexts_ = std::move(contexts);
    return true;
}

std::optional<QString> Translator::translate(const QString& source, const QString& context) const
{
    for (const QString& ctx : {context, QString()}) {
        const auto c = contexts_.constFind(ctx);
        if (c != contexts_.constEnd()) {
            const auto t = c->constFind(source);
            if (t != c->constEnd()) {
                return *t;
            }
        }
        if (context.isEmpty()) {
            break;
        }
    }
    return std::nullopt;
}

std::vector<std::pair<QString, QString>> Translator::keys() const
{
    std::vector<std::pair<QString, QString>> keys;
    for (auto c = contexts_.constBegin(); c != contexts_.constEnd(); ++c) {
        for (auto t = c->constBegin(); t != c->constEnd(); ++t) {
            keys.emplace_back(c.key(), t.key());
        }
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

void TranslatorManager::installTranslator(std::shared_ptr<Translator> translator)
{
    if (!translator) {
        return;
    }
    {
        const QString& name = translator->name();
        translators_.erase(std::remove_if(translators_.begin(), translators_.end(),
                                          [&](const auto& t) { return t->name() == name; }),
                           translators_.end());
    }
    translators_.push_back(std::move(translator));
    if (listener_) {
        listener_();
    }
}

bool TranslatorManager::uninstallTranslator(const QString& name)
{
    const auto it =
        std::find_if(translators_.begin(), translators_.end(), [&](const auto& t) { return t->name() == name; });
    if (it == translators_.end()) {
        return false;
    }
    translators_.erase(it);
    if (listener_) {
        listener_();
    }
    return true;
}

QString TranslatorManager::translate(const QString& source, const QString& context) const
{
    if (source.isEmpty()) {
        return source;
    }
    for (auto it = translators_.rbegin(); it != translators_.rend(); ++it) {
        if (auto text = (*it)->translate(source, context)) {
            return *text;
        }
    }
    return source;
}
