#pragma once

#include <QIcon>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "toolkit/NamedIdRegistry.h"
#include "toolkit/ResourceProvider.h"
#include "toolkit/SkinPool.h"
#include "toolkit/Timeline.h"
#include "toolkit/Translator.h"
#include "toolkit/UiDefinitions.h"

class QWidget;
class SWindow;
class SHostWnd;
class XmlSource;

// The toolkit's application object: the widget-class registry, the named-ID
// registry, the resource providers, the UI definitions with the skin pool,
// the translator manager, the animation timeline, and the message loop.
// One exists at a time (after the QApplication); instance() finds it.
class SApplication {
public:
    using Registrar = void (*)(SApplication&);
    using WindowFactory = std::function<SWindow*(QWidget* parent)>;

    // `registrar` registers the standard widgets (registerStandardWidgets).
    explicit SApplication(std::wstring hostClassName = L"UIHOST", Registrar registrar = nullptr);
    ~SApplication();
    SApplication(const SApplication&) = delete;
    SApplication& operator=(const SApplication&) = delete;

    static SApplication* instance();
    const std::wstring& hostClassName() const { return hostClassName_; }

    // Widget classes by XML tag. Registering never replaces a class: false
    // when the tag is taken.
    bool registerWindowClass(const std::wstring& tag, WindowFactory factory);
    template <class T>
    bool registerWindowClass()
    {
        return registerWindowClass(T::kClassTag, [](QWidget* parent) -> SWindow* { return new T(parent); });
    }
    bool isWindowClassRegistered(std::wstring_view tag) const;
    SWindow* createWindowByTag(std::wstring_view tag, QWidget* parent) const;

    // The named-ID table (sorted by name); false when it is not sorted.
    bool registerNamedIds(std::span<const NamedIdRow> rows) { return namedIds_.setTable(rows); }
    const NamedIdRegistry& namedIds() const { return namedIds_; }

    // Resources: providers are searched in the order added, then the
    // toolkit's system resources.
    void addResourceProvider(std::shared_ptr<IResProvider> provider);
    bool removeResourceProvider(const IResProvider* provider);
    // Loads the toolkit's own skins and makes its message-box layout and edit
    // menu available; false when the built-in resources cannot be read.
    bool loadSystemResources();
    bool hasResource(std::wstring_view resourceName) const;
    std::optional<QByteArray> readResource(std::wstring_view resourceName) const;
    // A file path for messages.
    QString resourceLocation(std::wstring_view resourceName) const;
    std::vector<std::wstring> resourceNamesOfType(std::wstring_view type) const;
    // Reads and parses an XML resource; false with out.error() set.
    bool loadXml(std::wstring_view resourceName, XmlSource& out) const;
    // An icon from "ICON:name" or "name" (type ICON assumed), SVG or PNG.
    QIcon loadIcon(std::wstring_view name) const;

    // UI definitions; named string 1 is the instance name.
    bool loadUiDefinitions(std::wstring_view resourceName);
    // Gives what Qt draws by itself (tooltips, menus, popups, file choosers)
    // the definitions' named colours (themePalette).
    void applyThemePalette() const;
    const UiDefinitions& uiDefinitions() const { return uiDefinitions_; }
    std::wstring namedString(int index) const { return uiDefinitions_.namedString(index); }
    SkinPool& skinPool() { return skinPool_; }
    const SkinPool& skinPool() const { return skinPool_; }
    // Problems met while loading definitions and tables ("file:line: message").
    const std::vector<QString>& diagnostics() const { return diagnostics_; }

    // Translation. The manager's changes re-translate every host window.
    void setTranslatorManager(std::shared_ptr<TranslatorManager> manager);
    TranslatorManager* translatorManager() const { return translatorManager_.get(); }
    QString translate(const QString& source, const QString& context) const;
    std::wstring translate(std::wstring_view source, std::wstring_view context = {}) const;

    Timeline& timeline() { return timeline_; }

    // Host windows register themselves (for re-translation and the loop).
    void addHost(SHostWnd* host);
    void removeHost(SHostWnd* host);
    const std::vector<SHostWnd*>& hosts() const { return hosts_; }

    // Runs the message loop until `mainWindow` is destroyed (or quit is
    // requested); returns the exit code.
    int run(SHostWnd* mainWindow);
    void postQuitMessage(int exitCode);
    SHostWnd* mainWindow() const { return mainWindow_; }
    // Called by a host when its window is destroyed.
    void hostDestroyed(SHostWnd* host);

private:
    void retranslateHosts();

    static SApplication* instance_;
    std::wstring hostClassName_;
    std::unordered_map<std::wstring, WindowFactory> classes_;
    NamedIdRegistry namedIds_;
    std::vector<std::shared_ptr<IResProvider>> providers_;
    std::shared_ptr<IResProvider> systemProvider_;
    UiDefinitions uiDefinitions_;
    SkinPool skinPool_;
    std::vector<QString> diagnostics_;
    std::shared_ptr<TranslatorManager> translatorManager_;
    Timeline timeline_;
    std::vector<SHostWnd*> hosts_;
    SHostWnd* mainWindow_ = nullptr;
    int exitCode_ = 0;
};
