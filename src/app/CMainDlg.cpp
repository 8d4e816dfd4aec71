#include "app/CMainDlg.h"

#include "app/AppCommands.h"
#include "app/ConnectionStatus.h"
#include "app/SShellNotifyIcon.h"
#include "hid/HidDiscovery.h"
#include "shape/ShapeHook.h"
#include "toolkit/SApplication.h"
#include "toolkit/SMenu.h"
#include "toolkit/SWindow.h"
#include "toolkit/TextUtil.h"

#include <QSocketNotifier>

#include <array>
#include <vector>

namespace {

constexpr wchar_t kMoreMenu[] = L"smenuex:menu_more";
constexpr wchar_t kTrayIconName[] = L"tray_icon";
constexpr wchar_t kStatusLineName[] = L"text_connection";
constexpr wchar_t kVersionName[] = L"statever";

// DPI of each level a stage can have.
constexpr std::array<int, 13> kDpiValues = {500, 750, 1000, 1200, 1600, 2000, 2400, 3000, 3200, 3500, 4000, 4500, 4800};

template <class T>
const T* deliveredElement(const T* data, uint32_t length, uint32_t index)
{
    return data != nullptr && index < length ? &data[index] : nullptr;
}

}  // namespace

CMainDlg::CMainDlg(Options options) : SHostWnd(kLayoutName), options_(options)
{
    if (const SApplication* app = SApplication::instance()) {
        instanceName_ = app->namedString(1);
    }
}

CMainDlg::~CMainDlg()
{
    unregisterHook(this);
    noticeWatch_.reset();
    notices_.reset();
}

bool CMainDlg::handleMessage(unsigned msg, uintptr_t wParam, intptr_t lParam, intptr_t& result)
{
    result = 0;
    switch (msg) {
    case WM_INITDIALOG:
        onInitDialog();
        return true;
    case WM_CLOSE:
        destroyWindow();
        return true;
    case WM_DESTROY:
        onDestroy();
        return false;  // the toolkit's own handling follows
    case WM_DEVICECHANGE:
        onDeviceBroadcast(wParam, reinterpret_cast<const DeviceBroadcast*>(lParam));
        return true;
    case WM_COMMAND:
        onCommand(wParam);
        return true;
    default:
        return false;
    }
}

void CMainDlg::onInitDialog()
{
    watchDeviceNotices();
    if (!instanceName_.empty()) {
        setProperty(toQString(instanceName_).toUtf8().constData(), 1);
    }
    registerHook(this, this);
    page_.initPage(root(), this);
    // Bound before the first connection attempt, so that its result always
    // reaches the listener, whatever the notification worker's timing.
    connectionState_.bind(this, &CMainDlg::onConnectionChanged, false);
    versionText_.bind(this, &CMainDlg::onVersionChanged, false);
    mode_.bind(this, &CMainDlg::onModeChanged, false);
    dpi_.bind(this, &CMainDlg::onDpiChanged, false);
    showConnectionStatus(0);
    logic_.onDeviceChange(false, std::wstring());
}

void CMainDlg::onDestroy()
{
    if (!instanceName_.empty()) {
        setProperty(toQString(instanceName_).toUtf8().constData(), QVariant());
    }
    noticeWatch_.reset();
}

void CMainDlg::watchDeviceNotices()
{
    notices_ = registerHidNotifications();
    if (!notices_) {
        return;
    }
    noticeWatch_ = std::make_unique<QSocketNotifier>(notices_->fd(), QSocketNotifier::Read);
    QObject::connect(noticeWatch_.get(), &QSocketNotifier::activated, noticeWatch_.get(),
                     [this] { readDeviceNotices(); });
}

void CMainDlg::readDeviceNotices()
{
    while (notices_) {
        const std::optional<HidNotice> notice = notices_->nextNotice();
        if (!notice) {
            return;
        }
        const DeviceBroadcast header{DBT_DEVTYP_DEVICEINTERFACE, notice->path};
        sendMessage(WM_DEVICECHANGE, notice->arrived ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
                    reinterpret_cast<intptr_t>(&header));
    }
}

void CMainDlg::onDeviceBroadcast(uintptr_t event, const DeviceBroadcast* header)
{
    if (header == nullptr || header->deviceType != DBT_DEVTYP_DEVICEINTERFACE) {
        return;
    }
    if (event == DBT_DEVICEARRIVAL) {
        logic_.onDeviceChange(true, header->name);
    } else if (event == DBT_DEVICEREMOVECOMPLETE) {
        logic_.onDeviceChange(false, header->name);
    }
}

void CMainDlg::onCommand(uintptr_t wParam)
{
    if (hiWord(wParam) != 0) {
        return;
    }
    const unsigned command = loWord(wParam);
    if (command == kCommandExit) {
        postMessage(WM_CLOSE);
    } else if (command >= kCommandSelectModeFirst && command < kCommandSelectModeFirst + kTrayModeCount) {
        selectMode(static_cast<int>(command - kCommandSelectModeFirst));
    }
}

void CMainDlg::onEvent(EventArgs* event)
{
    if (page_.onEvent(event) || event->id != EventCmd::kEventId) {
        return;
    }
    const std::wstring& sender = event->nameFrom;
    if (sender == L"btn_more") {
        showMoreMenu();
    } else if (sender == L"btn_close") {
        destroyWindow();
    } else if (sender == L"btn_min") {
        showWindow(SW_HIDE);
    } else if (sender == L"btn_max") {
        sendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    } else if (sender == L"btn_restore") {
        sendMessage(WM_SYSCOMMAND, SC_RESTORE);
    } else {
        return;
    }
    event->handled = true;
}

std::optional<QPoint> CMainDlg::moreMenuAnchor() const
{
    const SWindow* button = findChildById(kMoreButtonId, L"imgbtn");
    if (button == nullptr) {
        return std::nullopt;
    }
    return button->mapToGlobal(button->rect().bottomLeft() + QPoint(0, 1));
}

void CMainDlg::showMoreMenu()
{
    const std::optional<QPoint> anchor = moreMenuAnchor();
    if (!anchor) {
        return;
    }
    SMenuEx menu;
    if (menu.loadMenu(kMoreMenu)) {
        menu.trackPopupMenu(0, anchor->x(), anchor->y(), this, 100);
    }
}

void CMainDlg::selectMode(int mode)
{
    if (!isConnected() || mode_.tryAt(-1) == nullptr) {
        return;
    }
    mode_.setCurrentValue(mode, 0, false, false);
    updateTray();
}

SShellNotifyIcon* CMainDlg::trayIcon() const { return findChildByName<SShellNotifyIcon>(kTrayIconName); }

bool CMainDlg::isConnected() const
{
    const int* state = connectionState_.tryAt(-1);
    return state != nullptr && *state != 0;
}

void CMainDlg::onConnectionChanged(int, const int* data, uint32_t length, uint32_t, uint32_t index, uint32_t, int)
{
    const int* delivered = deliveredElement(data, length, index);
    const int state = delivered ? *delivered : 0;
    showConnectionStatus(state);
    if (state != 0) {
        sawConnection_ = true;
        // The mouse that comes back reports the version it had, and an unchanged
        // value is not delivered again: show the one held since the line was cleared.
        if (const std::wstring* version = versionText_.tryAt(-1); version != nullptr && !version->empty()) {
            showVersion(*version);
        }
        return;
    }
    if (!sawConnection_) {
        return;
    }
    sawConnection_ = false;
    FactoryRestoreShape& request = page_.factoryRestoreRequest();
    if (const int* pending = request.tryAt(-1); pending != nullptr && *pending != 0) {
        request.storeCurrent(0);
        return;
    }
    destroyWindow();
}

void CMainDlg::onVersionChanged(int, const std::wstring* data, uint32_t length, uint32_t, uint32_t index, uint32_t,
                                int)
{
    const std::wstring* version = deliveredElement(data, length, index);
    if (version == nullptr || !isConnected()) {
        return;
    }
    showVersion(*version);
}

void CMainDlg::showVersion(const std::wstring& version)
{
    if (SWindow* text = findChildByName(kVersionName, L"text")) {
        text->setWindowText(version);
    }
}

void CMainDlg::onModeChanged(int, const int*, uint32_t, uint32_t, uint32_t, uint32_t, int) { updateTray(); }

void CMainDlg::onDpiChanged(int, const DpiDat*, uint32_t, uint32_t, uint32_t, uint32_t, int) { updateTray(); }

QString CMainDlg::namedText(const wchar_t* stringName) const
{
    const SApplication* app = SApplication::instance();
    const std::optional<QString> text = app ? app->uiDefinitions().stringByName(toQString(stringName)) : std::nullopt;
    if (!text) {
        return QString();
    }
    return root() ? root()->translate(*text) : *text;
}

void CMainDlg::showConnectionStatus(int state)
{
    ConnectionStatus status = ConnectionStatus::connected;
    if (state != 0) {
        status = options_.simulatedMouse ? ConnectionStatus::simulated : ConnectionStatus::connected;
    } else if (const UsbInfo* configured = usbInfo_.tryAt(-1)) {
        status = probeClosedMouse(*configured);
    } else {
        status = ConnectionStatus::absent;
    }
    status_ = status;
    if (SWindow* line = findChildByName(kStatusLineName, L"text")) {
        line->setWindowText(toWString(namedText(connectionStatusStringName(status))));
    }
    if (state == 0) {
        if (SWindow* version = findChildByName(kVersionName, L"text")) {
            version->setWindowText(std::wstring());
        }
    }
    updateTray();
}

void CMainDlg::updateTray()
{
    SShellNotifyIcon* tray = trayIcon();
    if (tray == nullptr) {
        return;
    }
    const int* mode = mode_.tryAt(-1);
    const DpiDat* dpi = dpi_.tryAt(-1);
    QString state;
    std::vector<int> checked;
    if (isConnected() && mode != nullptr && *mode >= 0 && *mode < kTrayModeCount) {
        checked.push_back(static_cast<int>(kCommandSelectModeFirst) + *mode);
        const bool knownLevel = dpi != nullptr && dpi->level >= 0 && static_cast<size_t>(dpi->level) < kDpiValues.size();
        state = namedText(L"tray_tip_mode").arg(*mode + 1);
        state = state.arg(knownLevel ? QString::number(kDpiValues[static_cast<size_t>(dpi->level)]) : QStringLiteral("?"));
    } else {
        state = namedText(connectionStatusStringName(status_));
    }
    tray->setCheckedCommands(std::move(checked));
    const QString title = namedText(L"title");
    tray->setAttribute(L"tip", toWString(title.isEmpty() ? state : title + QLatin1Char('\n') + state));
}
