#pragma once

#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace pugi {
class xml_node;
}

// One language: texts by context and source text.
//
//   <language name="lang_en">
//     <context name="gallery">
//       <message src="Apply" tr="Apply"/>
//     </context>
//   </language>
//
// A text is looked up in its own context first, then in the context with the
// empty name (texts shared by every layout).
class Translator {
public:
    // Reads a "language" element; false (and nothing kept) when it is not one
    // or when a message lacks "src".
    bool load(const pugi::xml_node& language);
    const QString& name() const { return name_; }
    std::optional<QString> translate(const QString& source, const QString& context) const;
    // Every (context, source) pair, for comparing languages.
    std::vector<std::pair<QString, QString>> keys() const;

private:
    QString name_;
    QHash<QString, QHash<QString, QString>> contexts_;
};

// The installed translators; the latest installed one that knows a text wins.
class TranslatorManager {
public:
    // Replaces an installed translator of the same name.
    void installTranslator(std::shared_ptr<Translator> translator);
    bool uninstallTranslator(const QString& name);
    // The translated text, or the source itself when no translator has it.
    QString translate(const QString& source, const QString& context) const;

    // Called after every install or uninstall (the application re-translates its windows).
    void setChangeListener(std::function<void()> listener) { listener_ = std::move(listener); }

private:
    std::vector<std::shared_ptr<Translator>> translators_;
    std::function<void()> listener_;
};
