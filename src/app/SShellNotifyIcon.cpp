#include "app/SShellNotifyIcon.h"

#include "toolkit/AttributeTable.h"
#include "toolkit/AttributeValue.h"
#include "toolkit/SApplication.h"
#include "toolkit/SHostWnd.h"
#include "toolkit/SMenu.h"
#include "toolkit/TextUtil.h"
#include "toolkit/XmlSource.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

#include <algorithm>
#include <string_view>

namespace {

constexpr wchar_t kFallbackIcon[] = L"ICON_LOGO";

std::vector<std::wstring> splitIconNames(const std::wstring& value)
{
    std::vector<std::wstring> names;
    size_t start = 0;
    while (start <= value.size()) {
        const size_t end = std::min(value.find(L';', start), value.size());
        if (end > start) {
            names.push_back(value.substr(start, end - start));
        }
        start = end + 1;
    }
    return names;
}

SShellNotifyIcon::MenuKind menuKindOfRoot(std::string_view root)
{
    if (root == "menu") {
        return SShellNotifyIcon::MenuKind::classic;
    }
    if (root == "menuRoot" || root == "menuItem") {
        return SShellNotifyIcon::MenuKind::extended;
    }
    return SShellNotifyIcon::MenuKind::none;
}

}  // namespace

struct ShellNotifyIconAttributes {
    static AttrResult ico(SShellNotifyIcon& w, const std::wstring& value, bool)
    {
        const SApplication* app = SApplication::instance();
        w.icons_.clear();
        for (const std::wstring& name : splitIconNames(value)) {
            QIcon icon = app ? app->loadIcon(name) : QIcon();
            if (!icon.isNull()) {
                w.icons_.push_back(std::move(icon));
            }
        }
        w.updateShownIcon();
        return AttrResult::Applied;
    }
    static AttrResult tip(SShellNotifyIcon& w, const std::wstring& value, bool)
    {
        if (!value.empty()) {
            w.setTip(value);
        }
        return AttrResult::Applied;
    }
    static AttrResult menu(SShellNotifyIcon& w, const std::wstring& value, bool)
    {
        w.setMenuResource(value);
        return AttrResult::Applied;
    }
    static AttrResult deficoidx(SShellNotifyIcon& w, const std::wstring& value, bool)
    {
        w.defaultIconIndex_ = attrToInt(value);
        w.updateShownIcon();
        return AttrResult::Applied;
    }
};

namespace {

const AttributeRow<SShellNotifyIcon> kShellNotifyIconAttributes[] = {
    {L"ico", &ShellNotifyIconAttributes::ico},
    {L"tip", &ShellNotifyIconAttributes::tip},
    {L"menu", &ShellNotifyIconAttributes::menu},
    {L"deficoidx", &ShellNotifyIconAttributes::deficoidx},
};

}  // namespace

SShellNotifyIcon::SShellNotifyIcon(QWidget* parent) : SWindow(parent)
{
    setFixedSize(0, 0);
}

SShellNotifyIcon::~SShellNotifyIcon()
{
    if (trayIcon_) {
        trayIcon_->hide();
    }
}

AttrResult SShellNotifyIcon::setAttribute(const std::wstring& name, const std::wstring& value, bool loading)
{
    if (const auto result = applyAttribute(kShellNotifyIconAttributes, *this, name, value, loading)) {
        return *result;
    }
    return SWindow::setAttribute(name, value, loading);
}

void SShellNotifyIcon::onCreated()
{
    setVisible(false);
    if (defaultIconIndex_ < 0 || static_cast<size_t>(defaultIconIndex_) >= icons_.size()) {
        defaultIconIndex_ = 0;
    }
    trayIcon_ = std::make_unique<QSystemTrayIcon>();
    trayIcon_->setIcon(shownIcon());
    trayIcon_->setToolTip(toQString(tip_));
    QObject::connect(trayIcon_.get(), &QSystemTrayIcon::activated, trayIcon_.get(),
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         if (reason == QSystemTrayIcon::Trigger) {
                             onIconMouseMessage(WM_LBUTTONDOWN);
                         } else if (reason == QSystemTrayIcon::Context) {
                             onIconMouseMessage(WM_RBUTTONDOWN);
                         }
                     });
    trayIcon_->show();
}

QIcon SShellNotifyIcon::shownIcon() const
{
    if (!icons_.empty()) {
        const size_t index = defaultIconIndex_ >= 0 && static_cast<size_t>(defaultIconIndex_) < icons_.size()
                                 ? static_cast<size_t>(defaultIconIndex_)
                                 : 0;
        return icons_[index];
    }
    const SApplication* app = SApplication::instance();
    return app ? app->loadIcon(kFallbackIcon) : QIcon();
}

bool SShellNotifyIcon::isIconAdded() const { return trayIcon_ && trayIcon_->isVisible(); }

void SShellNotifyIcon::updateShownIcon()
{
    if (trayIcon_) {
        trayIcon_->setIcon(shownIcon());
    }
}

void SShellNotifyIcon::setTip(const std::wstring& tip)
{
    tip_ = tip;
    if (trayIcon_) {
        trayIcon_->setToolTip(toQString(tip_));
    }
}

void SShellNotifyIcon::setMenuResource(const std::wstring& name)
{
    menuName_ = name;
    menuKind_ = MenuKind::none;
    const SApplication* app = SApplication::instance();
    XmlSource source;
    if (app && app->loadXml(name, source)) {
        menuKind_ = menuKindOfRoot(source.root().name());
    }
}

std::unique_ptr<SMenuBase> SShellNotifyIcon::loadTrayMenu() const
{
    std::unique_ptr<SMenuBase> menu;
    switch (menuKind_) {
    case MenuKind::classic:
        menu = std::make_unique<SMenu>();
        break;
    case MenuKind::extended:
        menu = std::make_unique<SMenuEx>();
        break;
    case MenuKind::none:
        return nullptr;
    }
    if (!menu->loadMenu(menuName_)) {
        return nullptr;
    }
    for (QAction* action : menu->qmenu()->actions()) {
        if (!action->data().isValid()) {
            continue;
        }
        const bool checked = std::find(checkedCommands_.begin(), checkedCommands_.end(), action->data().toInt()) !=
                             checkedCommands_.end();
        if (checked || action->isCheckable()) {
            action->setCheckable(true);
            action->setChecked(checked);
        }
    }
    return menu;
}

void SShellNotifyIcon::onIconMouseMessage(unsigned mouseMessage)
{
    SHostWnd* host = hostWindow();
    if (host && host->sendMessage(kCallbackMessage, kIconId, static_cast<intptr_t>(mouseMessage)) != 0) {
        return;
    }
    if (mouseMessage == WM_LBUTTONDOWN) {
        toggleHost();
    } else if (mouseMessage == WM_RBUTTONDOWN) {
        showMenuAtCursor();
    }
}

void SShellNotifyIcon::toggleHost()
{
    SHostWnd* host = hostWindow();
    if (!host || !host->isWindow()) {
        return;
    }
    if (host->isVisible() && !host->isMinimized()) {
        host->showWindow(SW_HIDE);
        return;
    }
    host->showWindow(host->isMinimized() ? SW_RESTORE : SW_SHOW);
    host->raise();
    host->activateWindow();
}

void SShellNotifyIcon::showMenuAtCursor()
{
    const std::unique_ptr<SMenuBase> menu = loadTrayMenu();
    if (!menu) {
        return;
    }
    const QPoint cursor = QCursor::pos();
    menu->trackPopupMenu(0, cursor.x(), cursor.y(), hostWindow());
}
