#include "app/Startup.h"

#include "app/SShellNotifyIcon.h"
#include "config/ProfileStore.h"
#include "toolkit/AppNamedIds.h"
#include "toolkit/FileResourceProvider.h"
#include "toolkit/SApplication.h"
#include "toolkit/StandardWidgets.h"
#include "toolkit/TextUtil.h"
#include "toolkit/Translator.h"
#include "toolkit/XmlSource.h"
#include "ui/widgets/CoordButtonImage.h"
#include "ui/widgets/CustomWidgets.h"

#include <QApplication>

#include <system_error>

namespace {

constexpr wchar_t kHostClassName[] = L"UIHOST";
constexpr wchar_t kUiDefinitions[] = L"uidef:xml_init";

std::string pathText(const std::filesystem::path& path) { return path.string(); }

}  // namespace

std::wstring translationNameForLanguage(const std::wstring& language)
{
    return language == L"cn" ? L"lang_cn" : L"lang_en";
}

AppStartup::AppStartup(AppDirectories directories) : directories_(std::move(directories)) {}

AppStartup::~AppStartup()
{
    application_.reset();
    translators_.reset();
    config_.reset();
    package_.reset();
    instance_.reset();
}

bool AppStartup::prepare()
{
    application_ = std::make_unique<SApplication>(kHostClassName, &registerStandardWidgets);

    const std::filesystem::path packageDir = directories_.resourceDir / kResourcePackageDirName;
    package_ = std::make_shared<FileResourceProvider>();
    if (!package_->init(QString::fromStdString(packageDir.string()))) {
        error_ = "the resource package index uires.idx is missing in " + pathText(packageDir);
        return false;
    }
    application_->registerNamedIds(appNamedIdTable());
    application_->addResourceProvider(package_);
    if (!application_->loadUiDefinitions(kUiDefinitions)) {
        error_ = "the UI definitions \"UIDEF:XML_INIT\" cannot be loaded from " + pathText(packageDir);
        return false;
    }
    application_->applyThemePalette();
    application_->loadSystemResources();

    config_ = std::make_unique<DeviceConfig>();
    loadDeviceConfig(*config_, directories_.resourceDir);

    if (directories_.installed) {
        std::error_code ignored;
        std::filesystem::create_directories(directories_.profileDir, ignored);
    }
    ProfileStore& keyboard = keyboardProfileStore();
    keyboard.directory = directories_.profileDir;
    keyboard.fileName = kKeyboardProfileFileName;
    loadProfileStore(keyboard, kKeyboardProfileFileName);
    ProfileStore& mouse = mouseProfileStore();
    mouse.directory = directories_.profileDir;
    mouse.fileName = kMouseProfileFileName;
    loadProfileStore(mouse, kMouseProfileFileName);

    installTranslation();

    application_->registerWindowClass<SShellNotifyIcon>();
    registerCustomWidgets(*application_);
    // The mouse picture reads its button map by a path relative to the
    // directory that holds "uires", which is not the executable's once installed.
    CoordButtonImage::setApplicationDirectory(directories_.resourceDir);
    return true;
}

void AppStartup::installTranslation()
{
    translators_ = std::make_shared<TranslatorManager>();
    application_->setTranslatorManager(translators_);
    const std::wstring* language = config_->language.tryAt(-1);
    const std::wstring name = translationNameForLanguage(language ? *language : std::wstring());
    XmlSource document;
    if (!application_->loadXml(L"translator:" + name, document)) {
        return;
    }
    auto translator = std::make_shared<Translator>();
    if (translator->load(document.root())) {
        translators_->installTranslator(std::move(translator));
        installedTranslation_ = name;
    }
}

SingleInstance::Claim AppStartup::claimInstance()
{
    instance_ = std::make_unique<SingleInstance>(instanceDirectory());
    const SingleInstance::Claim claim = instance_->claim(toQString(application_->namedString(1)));
    if (claim == SingleInstance::Claim::Failed) {
        error_ = "single-instance check failed: " + instance_->failure().toStdString();
    }
    return claim;
}

int AppStartup::runMainWindow(const CMainDlg::Options& options)
{
    CMainDlg window(options);
    if (!window.createWindow(QApplication::activeWindow())) {
        error_ = "the main layout \"LAYOUT:XML_MAINWND\" cannot be built:\n" + window.layoutErrorText().toStdString();
        return 1;
    }
    window.sendMessage(WM_INITDIALOG, 0, 0);
    window.centerWindow();
    window.showWindow(SW_SHOWNORMAL);
    if (instance_) {
        const QByteArray mark = toQString(window.instanceName()).toUtf8();
        instance_->setActivationHandler([mark] { activateMarkedWindows(mark); });
    }
    const int exitCode = application_->run(&window);
    if (instance_) {
        instance_->setActivationHandler(nullptr);
    }
    if (window.isWindow()) {
        window.destroyWindow();
    }
    return exitCode;
}
