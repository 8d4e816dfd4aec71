#pragma once

#include "app/ConnectionStatus.h"
#include "mouse/MouseLogic.h"
#include "shape/Channels.h"
#include "toolkit/SHostWnd.h"
#include "ui/MouseUi.h"

#include <QPoint>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class HidNoticeSource;
class QSocketNotifier;
class SShellNotifyIcon;

// The application's main window, built from "LAYOUT:XML_MAINWND". It owns the
// settings page controller and the device logic, forwards device arrivals and
// removals to the logic, shows the firmware version and the connection state,
// handles its caption buttons and its "more" menu, and closes the application
// when the mouse is unplugged (unless a confirmed factory restore is pending:
// the mouse then drops off the bus and comes back by itself).
//
// A start without the mouse keeps the window open: only a mouse that was
// connected while the window was open can close it by going away.
class CMainDlg : public SHostWnd {
public:
    static constexpr wchar_t kLayoutName[] = L"LAYOUT:XML_MAINWND";
    static constexpr int kMoreButtonId = 65537;

    struct Options {
        bool simulatedMouse = false;  // the status line says that the mouse is simulated
    };

    explicit CMainDlg(Options options);
    ~CMainDlg() override;

    // Name of the window property that marks this window for a later start.
    const std::wstring& instanceName() const { return instanceName_; }

    MouseUi& page() { return page_; }
    // Where the "more" menu opens: the bottom-left corner of "btn_more" on
    // the screen; none when the button is missing.
    std::optional<QPoint> moreMenuAnchor() const;
    SShellNotifyIcon* trayIcon() const;

protected:
    bool handleMessage(unsigned msg, uintptr_t wParam, intptr_t lParam, intptr_t& result) override;
    void onEvent(EventArgs* event) override;

private:
    void onInitDialog();
    void onDestroy();
    void onDeviceBroadcast(uintptr_t event, const DeviceBroadcast* header);
    void onCommand(uintptr_t wParam);
    void watchDeviceNotices();
    void readDeviceNotices();
    void showMoreMenu();
    void selectMode(int mode);

    // Listeners of the shared values, on this thread.
    void onConnectionChanged(int, const int*, uint32_t, uint32_t, uint32_t, uint32_t, int);
    void onVersionChanged(int, const std::wstring*, uint32_t, uint32_t, uint32_t, uint32_t, int);
    void onModeChanged(int, const int*, uint32_t, uint32_t, uint32_t, uint32_t, int);
    void onDpiChanged(int, const DpiDat*, uint32_t, uint32_t, uint32_t, uint32_t, int);

    bool isConnected() const;
    void showConnectionStatus(int state);
    void showVersion(const std::wstring& version);
    void updateTray();
    QString namedText(const wchar_t* stringName) const;

    MouseUi page_;
    MouseLogic logic_;
    ConnectionStateShape connectionState_;
    VersionTextShape versionText_;
    // Beyond the page's own: the tray shows and switches the mode and shows the DPI.
    ModeShape mode_;
    DpiShape dpi_;
    UsbInfoShape usbInfo_;

    Options options_;
    std::wstring instanceName_;
    bool sawConnection_ = false;
    ConnectionStatus status_ = ConnectionStatus::absent;
    std::unique_ptr<HidNoticeSource> notices_;
    std::unique_ptr<QSocketNotifier> noticeWatch_;
};
