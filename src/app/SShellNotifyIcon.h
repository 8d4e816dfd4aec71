#pragma once

#include "toolkit/SWindow.h"
#include "toolkit/WindowMessages.h"

#include <QIcon>

#include <memory>
#include <string>
#include <vector>

class QSystemTrayIcon;
class SMenuBase;

// The application's icon in the notification area (XML tag "shellnotifyicon").
// The widget itself draws nothing; its icon lives in the desktop's tray:
//   - left click: hides the host window when it is visible, else shows it and
//     brings it to the front;
//   - right click: opens the menu resource "menu" at the cursor; its commands
//     reach the host window as WM_COMMAND.
// Each click is first offered to the host as kCallbackMessage (wParam the icon
// id, lParam the mouse message); a host that returns non-zero has taken it.
// The desktop's tray host may come and go: the icon is registered again when
// a new one appears. The icon leaves the tray when the widget is destroyed.
//
// Attributes: "ico" (icon names separated by ';', names that give no icon are
// skipped), "tip" (tooltip; empty values are ignored), "menu" (a menu
// resource; its root element decides the kind), "deficoidx" (the icon shown).
class SShellNotifyIcon : public SWindow {
    MOUSECFG_WIDGET_CLASS(SWindow, L"shellnotifyicon")
public:
    static constexpr unsigned kCallbackMessage = WM_USER + 1111;
    static constexpr int kIconId = 100;
    static constexpr unsigned WM_LBUTTONDOWN = 0x0201;
    static constexpr unsigned WM_RBUTTONDOWN = 0x0204;

    enum class MenuKind { none, classic, extended };

    explicit SShellNotifyIcon(QWidget* parent = nullptr);
    ~SShellNotifyIcon() override;

    AttrResult setAttribute(const std::wstring& name, const std::wstring& value, bool loading = false) override;
    void onCreated() override;

    const std::vector<QIcon>& icons() const { return icons_; }
    int defaultIconIndex() const { return defaultIconIndex_; }
    // The icon shown: entry "deficoidx" of the list, or ICON_LOGO when the list is empty.
    QIcon shownIcon() const;
    const std::wstring& tip() const { return tip_; }
    const std::wstring& menuName() const { return menuName_; }
    MenuKind menuKind() const { return menuKind_; }
    // Whether the icon has been handed to the tray (it shows once a tray host exists).
    bool isIconAdded() const;

    // Menu commands shown with a check mark, the others without, whenever the menu opens.
    void setCheckedCommands(std::vector<int> commands) { checkedCommands_ = std::move(commands); }
    // The menu as it would open now, or null when "menu" gives none.
    std::unique_ptr<SMenuBase> loadTrayMenu() const;

    // What a click on the icon does (WM_LBUTTONDOWN or WM_RBUTTONDOWN); other messages do nothing.
    void onIconMouseMessage(unsigned mouseMessage);

protected:
    void onPaint(QPainter&) override {}

private:
    void setTip(const std::wstring& tip);
    void setMenuResource(const std::wstring& name);
    void toggleHost();
    void showMenuAtCursor();
    void updateShownIcon();

    std::vector<QIcon> icons_;
    int defaultIconIndex_ = 0;
    std::wstring tip_;
    std::wstring menuName_;
    MenuKind menuKind_ = MenuKind::none;
    std::vector<int> checkedCommands_;
    std::unique_ptr<QSystemTrayIcon> trayIcon_;

    friend struct ShellNotifyIconAttributes;
};
