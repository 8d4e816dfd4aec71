#include "toolkit/SApplication.h"

#include "toolkit/FileResourceProvider.h"
#include "toolkit/SHostWnd.h"
#include "toolkit/SWindow.h"
#include "toolkit/TextUtil.h"
#include "toolkit/ThemePalette.h"
#include "toolkit/XmlSource.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

// Outside any namespace, as Qt's resource initialiser requires.
static void initSystemResources() { Q_INIT_RESOURCE(sysres); }

namespace {

const QString kSystemResourceRoot = QStringLiteral(":/mousecfg/sysres");

// The system skins' table inside the built-in resources.
constexpr wchar_t kSystemSkinTable[] = L"values:sysskin";

}  // namespace

SApplication* SApplication::instance_ = nullptr;

SApplication::SApplication(std::wstring hostClassName, Registrar registrar) : hostClassName_(std::move(hostClassName))
{
    instance_ = this;
    if (registrar) {
        registrar(*this);
    }
}

SApplication::~SApplication()
{
    if (instance_ == this) {
        instance_ = nullptr;
    }
}

SApplication* SApplication::instance() { return instance_; }

bool SApplication::registerWindowClass(const std::wstring& tag, WindowFactory factory)
{
    if (tag.empty() || !factory) {
        return false;
    }
    return classes_.emplace(tag, std::move(factory)).second;
}

bool SApplication::isWindowClassRegistered(std::wstring_view tag) const
{
    return classes_.find(std::wstring(tag)) != classes_.end();
}

SWindow* SApplication::createWindowByTag(std::wstring_view tag, QWidget* parent) const
{
    const auto it = classes_.find(std::wstring(tag));
    return it == classes_.end() ? nullptr : it->second(parent);
}

void SApplication::addResourceProvider(std::shared_ptr<IResProvider> provider)
{
    if (provider) {
        providers_.push_back(std::move(provider));
    }
}

bool SApplication::removeResourceProvider(const IResProvider* provider)
{
    const auto it = std::find_if(providers_.begin(), providers_.end(),
                                 [provider](const auto& p) { return p.get() == provider; });
    if (it == providers_.end()) {
        return false;
    }
    providers_.erase(it);
    return true;
}

bool SApplication::loadSystemResources()
{
    initSystemResources();
    auto provider = std::make_shared<FileResourceProvider>();
    if (!provider->init(kSystemResourceRoot)) {
        return false;
    }
    systemProvider_ = provider;
    XmlSource table;
    if (!loadXml(kSystemSkinTable, table)) {
        diagnostics_.push_back(table.error());
        return false;
    }
    UiDefinitions::loadSkinTable(*this, table, diagnostics_);
    return true;
}

namespace {

// The provider that holds `name`: the packages in the order added, then the system resources.
const IResProvider* firstProvider(const std::vector<std::shared_ptr<IResProvider>>& providers,
                                  const IResProvider* system, const ResourceName& name)
{
    for (const auto& p : providers) {
        if (p->hasResource(name.type, name.name)) {
            return p.get();
        }
    }
    if (system && system->hasResource(name.type, name.name)) {
        return system;
    }
    return nullptr;
}

}  // namespace

bool SApplication::hasResource(std::wstring_view resourceName) const
{
    const auto name = parseResourceName(resourceName);
    return name && firstProvider(providers_, systemProvider_.get(), *name) != nullptr;
}

std::optional<QByteArray> SApplication::readResource(std::wstring_view resourceName) const
{
    const auto name = parseResourceName(resourceName);
    if (!name) {
        return std::nullopt;
    }
    const IResProvider* p = firstProvider(providers_, systemProvider_.get(), *name);
    return p ? p->readResource(name->type, name->name) : std::nullopt;
}

QString SApplication::resourceLocation(std::wstring_view resourceName) const
{
    const auto name = parseResourceName(resourceName);
    if (!name) {
        return QString();
    }
    const IResProvider* p = firstProvider(providers_, systemProvider_.get(), *name);
    return p ? p->location(name->type, name->name) : QString();
}

std::vector<std::wstring> SApplication::resourceNamesOfType(std::wstring_view type) const
{
    std::vector<std::wstring> names;
    for (const auto& p : providers_) {
        for (std::wstring& n : p->namesOfType(type)) {
            names.push_back(std::move(n));
        }
    }
    return names;
}

bool SApplication::loadXml(std::wstring_view resourceName, XmlSource& out) const
{
    const auto data = readResource(resourceName);
    QString label = resourceLocation(resourceName);
    if (label.isEmpty()) {
        label = toQString(resourceName);
    }
    if (!data) {
        out.parse(QByteArray(), label);
        return false;
    }
    return out.parse(*data, label);
}

QIcon SApplication::loadIcon(std::wstring_view name) const
{
    std::wstring resource(name);
    if (!parseResourceName(resource)) {
        resource = L"ICON:" + resource;
    }
    const auto data = readResource(resource);
    if (!data) {
        return QIcon();
    }
    const auto skin = ImageSkin::fromData(*data, ImageSkin::Options{});
    if (!skin) {
        return QIcon();
    }
    // Drawn at several sizes so that the icon stays sharp wherever it shows.
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        skin->draw(painter, QRectF(0, 0, size, size), 0);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

bool SApplication::loadUiDefinitions(std::wstring_view resourceName)
{
    return uiDefinitions_.load(*this, resourceName, diagnostics_);
}

void SApplication::applyThemePalette() const
{
    QApplication::setPalette(themePalette(uiDefinitions_, QApplication::palette()));
}

void SApplication::setTranslatorManager(std::shared_ptr<TranslatorManager> manager)
{
    if (translatorManager_) {
        translatorManager_->setChangeListener(nullptr);
    }
    translatorManager_ = std::move(manager);
    if (translatorManager_) {
        translatorManager_->setChangeListener([this] { retranslateHosts(); });
    }
    retranslateHosts();
}

QString SApplication::translate(const QString& source, const QString& context) const
{
    return translatorManager_ ? translatorManager_->translate(source, context) : source;
}

std::wstring SApplication::translate(std::wstring_view source, std::wstring_view context) const
{
    return toWString(translate(toQString(source), toQString(context)));
}

void SApplication::retranslateHosts()
{
    for (SHostWnd* host : hosts_) {
        host->retranslate();
    }
}

void SApplication::addHost(SHostWnd* host) { hosts_.push_back(host); }

void SApplication::removeHost(SHostWnd* host)
{
    hosts_.erase(std::remove(hosts_.begin(), hosts_.end(), host), hosts_.end());
    if (mainWindow_ == host) {
        mainWindow_ = nullptr;
    }
}

int SApplication::run(SHostWnd* mainWindow)
{
    mainWindow_ = mainWindow;
    exitCode_ = 0;
    if (!mainWindow || !mainWindow->isWindow()) {
        mainWindow_ = nullptr;
        return exitCode_;
    }
    const int code = QApplication::exec();
    mainWindow_ = nullptr;
    return code;
}

void SApplication::postQuitMessage(int exitCode)
{
    exitCode_ = exitCode;
    QCoreApplication::exit(exitCode);
}

void SApplication::hostDestroyed(SHostWnd* host)
{
    if (host == mainWindow_) {
        mainWindow_ = nullptr;
        postQuitMessage(exitCode_);
    }
}
