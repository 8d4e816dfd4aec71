#include "FuzzToolkit.h"

#include "FuzzCheck.h"

#include "toolkit/AppNamedIds.h"
#include "toolkit/FileResourceProvider.h"
#include "toolkit/SApplication.h"
#include "toolkit/StandardWidgets.h"
#include "toolkit/TextUtil.h"
#include "ui/widgets/CustomWidgets.h"

#include <QApplication>

#include <memory>

namespace {

QString foldedKey(std::wstring_view type, std::wstring_view name)
{
    return toQString(type).toCaseFolded() + QLatin1Char(':') + toQString(name).toCaseFolded();
}

std::shared_ptr<FuzzResources> makeResources() { return std::make_shared<FuzzResources>(); }

const std::shared_ptr<FuzzResources>& sharedResources()
{
    static const std::shared_ptr<FuzzResources> resources = makeResources();
    return resources;
}

// Made once and never destroyed: the toolkit's objects live as long as the
// process, like the window program's.
SApplication& makeToolkit()
{
    if (QCoreApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "mousecfg_fuzz";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    auto* app = new SApplication(L"UIHOST", &registerStandardWidgets);
    registerCustomWidgets(*app);
    fuzzRequire(app->registerNamedIds(appNamedIdTable()), "the named-id table is sorted");
    fuzzRequire(app->loadSystemResources(), "the system resources load");
    auto package = std::make_shared<FileResourceProvider>();
    fuzzRequire(package->init(QStringLiteral(MOUSECFG_SOURCE_DIR "/uires")), "the project package has an index");
    app->addResourceProvider(package);
    fuzzRequire(app->loadUiDefinitions(L"uidef:xml_init"), "the project's UI definitions load");
    app->removeResourceProvider(package.get());
    app->addResourceProvider(sharedResources());
    return *app;
}

}  // namespace

void FuzzResources::set(const QString& resource, std::string_view bytes)
{
    const auto name = parseResourceName(resource.toStdWString());
    fuzzRequire(name.has_value(), "a fuzz resource is named \"type:name\"");
    resources_.insert(foldedKey(name->type, name->name),
                      QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

bool FuzzResources::hasResource(std::wstring_view type, std::wstring_view name) const
{
    return resources_.contains(foldedKey(type, name));
}

std::optional<QByteArray> FuzzResources::readResource(std::wstring_view type, std::wstring_view name) const
{
    const auto it = resources_.constFind(foldedKey(type, name));
    if (it == resources_.constEnd())
        return std::nullopt;
    return *it;
}

QString FuzzResources::location(std::wstring_view type, std::wstring_view name) const
{
    return hasResource(type, name) ? QStringLiteral("input/") + foldedKey(type, name) : QString();
}

std::vector<std::wstring> FuzzResources::namesOfType(std::wstring_view type) const
{
    const QString prefix = toQString(type).toCaseFolded() + QLatin1Char(':');
    std::vector<std::wstring> names;
    for (auto it = resources_.constBegin(); it != resources_.constEnd(); ++it) {
        if (it.key().startsWith(prefix))
            names.push_back(it.key().mid(prefix.size()).toStdWString());
    }
    return names;
}

SApplication& fuzzToolkit()
{
    static SApplication& app = makeToolkit();
    sharedResources()->clear();
    return app;
}

FuzzResources& fuzzResources() { return *sharedResources(); }
