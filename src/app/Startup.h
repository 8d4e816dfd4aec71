#pragma once

#include "app/AppDirectories.h"
#include "app/CMainDlg.h"
#include "app/SingleInstance.h"
#include "config/DeviceConfig.h"

#include <memory>
#include <string>

class FileResourceProvider;
class SApplication;
class TranslatorManager;

// The translation resource for a configured language: "lang_cn" for exactly
// "cn", "lang_en" for anything else.
std::wstring translationNameForLanguage(const std::wstring& language);

// The application's start-up and tear-down around its main window, on the
// thread that made the QApplication:
//   prepare()         the toolkit, the resource package, the named ids, the UI
//                     definitions, the system resources, the device
//                     configuration, both profile stores, the translation and
//                     the widget classes, in that order;
//   claimInstance()   the single-instance test;
//   runMainWindow()   the main window and the message loop.
// The destructor tears down in the reverse order: the application object,
// the translations, the configuration, the resource package, the instance lock.
class AppStartup {
public:
    explicit AppStartup(AppDirectories directories);
    ~AppStartup();
    AppStartup(const AppStartup&) = delete;
    AppStartup& operator=(const AppStartup&) = delete;

    // False with error() set when the resource package or its definitions are missing.
    bool prepare();
    // Primary, or HandedOver after a running instance was asked to come
    // forward, or Failed with error() set.
    SingleInstance::Claim claimInstance();
    // Creates, initialises, centres and shows the main window, runs the
    // message loop and returns its exit code; 1 with error() set when the
    // main layout cannot be built.
    int runMainWindow(const CMainDlg::Options& options);

    const std::string& error() const { return error_; }
    const AppDirectories& directories() const { return directories_; }
    const DeviceConfig& deviceConfig() const { return *config_; }
    // The translation installed, empty when none could be loaded.
    const std::wstring& installedTranslation() const { return installedTranslation_; }

private:
    void installTranslation();

    AppDirectories directories_;
    std::unique_ptr<SingleInstance> instance_;
    std::shared_ptr<FileResourceProvider> package_;
    std::unique_ptr<DeviceConfig> config_;
    std::shared_ptr<TranslatorManager> translators_;
    std::unique_ptr<SApplication> application_;
    std::wstring installedTranslation_;
    std::string error_;
};
