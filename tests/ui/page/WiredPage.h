#pragma once

// The settings page in its window, wired to the device logic and a simulated
// mouse the way the main window wires them, on the offscreen platform. The
// page's reliability tests and its benchmark drive the same assembly.

#include "PageHost.h"
#include "UserEvents.h"

#include "config/DeviceConfig.h"
#include "config/ProfileStore.h"
#include "mouse/MouseLogic.h"
#include "shape/ShapeRegistry.h"
#include "sim/SimulatedHidBackend.h"
#include "toolkit/AppNamedIds.h"
#include "toolkit/FileResourceProvider.h"
#include "toolkit/SApplication.h"
#include "toolkit/SComboBox.h"
#include "toolkit/SSliderBar.h"
#include "toolkit/StandardWidgets.h"
#include "ui/widgets/CoordButtonImage.h"
#include "ui/widgets/CustomWidgets.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace wiredpage {

using namespace std::chrono_literals;

inline constexpr SimulatedMouseIdentity kIdentity{0x1A2B, 0x3C4D, 1, -1, 0x0100, 0x0105};
inline constexpr UsbInfo kConfigured{0x1A2B, 0x3C4D, 1, -1};
inline constexpr auto kReplyLatency = 1ms;

// Runs the UI thread's events until `done` holds; false at the time limit.
inline bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(50us);
    }
    return true;
}

// The page in its window, the device logic and the simulated mouse.
class WiredPage {
public:
    WiredPage()
    {
        app_ = std::make_unique<SApplication>(L"UIHOST", &registerStandardWidgets);
        registerCustomWidgets(*app_);
        app_->registerNamedIds(appNamedIdTable());
        for (const char* directory : {MOUSECFG_SOURCE_DIR "/uires", MOUSECFG_FIXTURES_DIR "/page"}) {
            auto provider = std::make_shared<FileResourceProvider>();
            ok_ = ok_ && provider->init(QString::fromUtf8(directory));
            app_->addResourceProvider(provider);
        }
        ok_ = ok_ && app_->loadUiDefinitions(L"UIDEF:XML_INIT");
        app_->loadSystemResources();
        CoordButtonImage::setApplicationDirectory(MOUSECFG_SOURCE_DIR);

        ProfileStore& store = mouseProfileStore();
        store.groups.clear();
        store.directory = profileDir_.path().toStdString();

        setHidBackend(&backend_);
        mouse_ = &backend_.addMouse(kIdentity);
        mouse_->setReplyLatency(kReplyLatency);
        config_.usbInfo.current() = kConfigured;
        logic_.emplace();

        host_ = std::make_unique<PageHost>();
        ok_ = ok_ && host_->createWindow();
        if (ok_) {
            host_->page.initPage(host_->root(), host_.get());
            host_->show();
        }
    }
    ~WiredPage()
    {
        settle();
        host_.reset();
        logic_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setHidBackend(nullptr);
        app_.reset();
    }

    bool ok() const { return ok_; }
    SimulatedMouse& mouse() { return *mouse_; }
    MouseLogic& logic() { return *logic_; }
    std::wstring path() const { return backend_.pathOf(*mouse_); }

    // Lets the device logic and the page's deliveries finish: no worker for
    // a while, with the UI thread's events run meanwhile.
    static bool settle()
    {
        auto quietSince = std::chrono::steady_clock::now();
        return runUntil([&quietSince] {
            if (ShapeRegistry::workerRunning()) {
                quietSince = std::chrono::steady_clock::now();
            }
            return std::chrono::steady_clock::now() - quietSince > 20ms;
        });
    }

    SWindow* widget(const wchar_t* name) const { return host_->findChildByName(name); }

    // The user moved a slider to `position` or chose item `index` of a combo
    // box, as the toolkit reports it.
    void slide(const wchar_t* name, int position) { fireSlide(*widget(name), position); }
    void choose(const wchar_t* name, int index) { fireChoice(*widget(name), index); }

    // What the page shows of the values a connection reads.
    std::vector<std::wstring> shownValues() const
    {
        std::vector<std::wstring> shown;
        for (const wchar_t* combo : {L"cmb_profile", L"cmb_light_mode_normal", L"cmb_mouse_dpi_index"}) {
            const auto* box = host_->findChildByName<SComboBox>(combo);
            shown.push_back(std::to_wstring(box ? box->getCurSel() : -2));
        }
        for (const wchar_t* slider : {L"bar_mouse_speed", L"bar_mouse_brightness", L"bar_mouse_dpi_grade"}) {
            const auto* bar = host_->findChildByName<SSliderBar>(slider);
            shown.push_back(std::to_wstring(bar ? bar->getValue() : -2));
        }
        const SWindow* dpiText = widget(L"text_mouse_dpi_grade");
        shown.push_back(dpiText ? dpiText->windowText() : L"<none>");
        return shown;
    }

private:
    bool ok_ = true;
    QTemporaryDir profileDir_;
    std::unique_ptr<SApplication> app_;
    SimulatedHidBackend backend_;
    SimulatedMouse* mouse_ = nullptr;
    DeviceConfig config_;
    std::optional<MouseLogic> logic_;
    std::unique_ptr<PageHost> host_;
};

}  // namespace wiredpage
