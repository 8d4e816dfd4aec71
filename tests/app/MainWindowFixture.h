#pragma once

#include "AppFixture.h"
#include "app/CMainDlg.h"
#include "app/SShellNotifyIcon.h"
#include "app/Startup.h"
#include "sim/SimulatedHidBackend.h"
#include "toolkit/SWindow.h"

#include <gtest/gtest.h>

#include <memory>

// The main window over a simulated mouse that matches the configuration.
class MainWindowTest : public testing::Test {
protected:
    static constexpr SimulatedMouseIdentity kMouse{.vendorId = 0x1A2B, .productId = 0x3C4D, .interfaceNumber = 1};

    void SetUp() override
    {
        const auto directory = makeAppDirectory(temp_, "en");
        startup_ = std::make_unique<AppStartup>(AppDirectories{directory, directory, false});
        ASSERT_TRUE(startup_->prepare()) << startup_->error();
        mouse_ = &backend_.addMouse(kMouse);
        setHidBackend(&backend_);
    }

    void TearDown() override
    {
        window_.reset();
        setHidBackend(nullptr);
    }

    CMainDlg& openWindow(CMainDlg::Options options = {})
    {
        window_ = std::make_unique<CMainDlg>(options);
        EXPECT_TRUE(window_->createWindow()) << window_->layoutErrorText().toStdString();
        window_->sendMessage(WM_INITDIALOG, 0, 0);
        window_->showWindow(SW_SHOWNORMAL);
        return *window_;
    }

    std::wstring textOf(const wchar_t* name) const
    {
        const SWindow* widget = window_->findChildByName(name, L"text");
        return widget ? widget->windowText() : L"<missing>";
    }

    bool waitConnected()
    {
        return processEventsUntil([this] { return !textOf(L"statever").empty(); });
    }

    bool waitClosed()
    {
        return processEventsUntil([this] { return !window_->isWindow(); });
    }

    TempDir temp_;
    std::unique_ptr<AppStartup> startup_;
    SimulatedHidBackend backend_;
    SimulatedMouse* mouse_ = nullptr;
    std::unique_ptr<CMainDlg> window_;
};
