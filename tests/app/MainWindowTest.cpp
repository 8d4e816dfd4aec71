#include "MainWindowFixture.h"

#include "app/AppCommands.h"
#include "shape/Channels.h"
#include "toolkit/SMenu.h"
#include "ui/widgets/CoordButtonImage.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <ostream>

namespace {

TEST_F(MainWindowTest, StartWithTheMouseConnectsAndShowsItsVersion)
{
    openWindow();
    ASSERT_TRUE(waitConnected());
    EXPECT_EQ(textOf(L"statever"), L"version: v0105");
    EXPECT_EQ(textOf(L"text_connection"), L"Mouse connected");
}

TEST_F(MainWindowTest, StatusLineSaysWhenTheMouseIsSimulated)
{
    openWindow(CMainDlg::Options{.simulatedMouse = true});
    ASSERT_TRUE(waitConnected());
    EXPECT_EQ(textOf(L"text_connection"), L"Simulated mouse connected (started with --simulate)");
}

TEST_F(MainWindowTest, StartWithoutTheMouseStaysOpenAndConnectsWhenItArrives)
{
    mouse_->unplug();
    openWindow();
    ASSERT_TRUE(processEventsUntil(
        [this] { return textOf(L"text_connection") == L"Mouse not found: plug it in and it connects by itself"; }));
    processEventsFor(200);
    ASSERT_TRUE(window_->isWindow());
    mouse_->plug();
    ASSERT_TRUE(waitConnected());
    EXPECT_EQ(textOf(L"statever"), L"version: v0105");
}

TEST_F(MainWindowTest, UnplugClosesTheWindow)
{
    openWindow();
    ASSERT_TRUE(waitConnected());
    mouse_->unplug();
    EXPECT_TRUE(waitClosed());
}

TEST_F(MainWindowTest, UnplugDuringConfirmedFactoryRestoreKeepsTheWindowOnce)
{
    CMainDlg& window = openWindow();
    ASSERT_TRUE(waitConnected());
    FactoryRestoreShape& request = window.page().factoryRestoreRequest();
    request.storeCurrent(1);

    mouse_->unplug();
    ASSERT_TRUE(processEventsUntil([&] { return request.current() == 0; }));
    processEventsFor(200);
    EXPECT_TRUE(window.isWindow());

    mouse_->plug();
    ASSERT_TRUE(waitConnected());
    mouse_->unplug();
    EXPECT_TRUE(waitClosed());
}

TEST_F(MainWindowTest, MousePictureReadsItsButtonMapBesideTheResourcePackage)
{
    // The test program's own directory holds no "uires": only the resource
    // directory of the start-up can give the picture its eight buttons.
    openWindow();
    const auto* picture = window_->findChildByName<CoordButtonImage>(L"img_keyboard");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->items().size(), 8u);
}

TEST_F(MainWindowTest, VersionTextIsIgnoredWhileDisconnected)
{
    mouse_->unplug();
    openWindow();
    ASSERT_TRUE(processEventsUntil([this] { return !textOf(L"text_connection").empty(); }));
    VersionTextShape elsewhere;
    elsewhere.setCurrentValue(L"version: v0999", 0, false, false);
    processEventsFor(300);
    EXPECT_EQ(textOf(L"statever"), L"");
}

TEST_F(MainWindowTest, VersionTextIsShownWhileConnected)
{
    openWindow();
    ASSERT_TRUE(waitConnected());
    VersionTextShape elsewhere;
    elsewhere.setCurrentValue(L"version: v0999", 0, false, false);
    EXPECT_TRUE(processEventsUntil([this] { return textOf(L"statever") == L"version: v0999"; }));
}

struct CommandCase {
    const char* name;
    unsigned id;
    unsigned highWord;
    bool closes;
};

// Test output names the row, not its bytes.
void PrintTo(const CommandCase& row, std::ostream* out) { *out << row.name; }

class MainWindowCommandTest : public MainWindowTest, public testing::WithParamInterface<CommandCase> {};

TEST_P(MainWindowCommandTest, OnlyMenuCommandSixCloses)
{
    CMainDlg& window = openWindow();
    ASSERT_TRUE(waitConnected());
    EXPECT_EQ(window.sendMessage(WM_COMMAND, makeWParam(GetParam().id, GetParam().highWord), 0), 0);
    processEventsFor(150);
    EXPECT_EQ(!window.isWindow(), GetParam().closes);
}

const CommandCase kCommands[] = {
    {"exit", kCommandExit, 0, true},
    {"other_menu_command", 7, 0, false},
    {"zero", 0, 0, false},
    {"six_from_a_control", kCommandExit, 1, false},
    {"mode_item", kCommandSelectModeFirst + 1, 0, false},
};

INSTANTIATE_TEST_SUITE_P(Commands, MainWindowCommandTest, testing::ValuesIn(kCommands),
                         [](const testing::TestParamInfo<CommandCase>& info) { return info.param.name; });

TEST_F(MainWindowTest, MinimiseHidesAndCloseDestroys)
{
    CMainDlg& window = openWindow();
    ASSERT_TRUE(window.isVisible());
    SWindow* minimise = window.findChildByName(L"btn_min", L"imgbtn");
    ASSERT_NE(minimise, nullptr);
    QTest::mouseClick(minimise, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.isWindow());

    window.showWindow(SW_SHOW);
    SWindow* close = window.findChildByName(L"btn_close", L"imgbtn");
    ASSERT_NE(close, nullptr);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_FALSE(window.isWindow());
}

TEST_F(MainWindowTest, MoreMenuOpensBelowItsButton)
{
    CMainDlg& window = openWindow();
    window.move(140, 90);
    processEventsFor(20);
    const SWindow* button = window.findChildById(CMainDlg::kMoreButtonId, L"imgbtn");
    ASSERT_NE(button, nullptr);
    const auto anchor = window.moreMenuAnchor();
    ASSERT_TRUE(anchor.has_value());
    const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
    EXPECT_EQ(anchor->x(), onScreen.left());
    EXPECT_EQ(anchor->y(), onScreen.bottom() + 1);
}

TEST_F(MainWindowTest, DeviceChangeForAnotherDeviceIsIgnored)
{
    CMainDlg& window = openWindow();
    ASSERT_TRUE(waitConnected());
    const DeviceBroadcast other{DBT_DEVTYP_DEVICEINTERFACE, L"\\\\?\\hid#vid_0aaa&pid_0bbb&mi_01#sim:9"};
    window.sendMessage(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<intptr_t>(&other));
    const DeviceBroadcast volume{2, backend_.pathOf(*mouse_)};
    window.sendMessage(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<intptr_t>(&volume));
    processEventsFor(200);
    EXPECT_TRUE(window.isWindow());
    EXPECT_EQ(textOf(L"text_connection"), L"Mouse connected");
}

TEST_F(MainWindowTest, TrayClickTogglesTheWindow)
{
    CMainDlg& window = openWindow();
    SShellNotifyIcon* tray = window.trayIcon();
    ASSERT_NE(tray, nullptr);
    tray->onIconMouseMessage(SShellNotifyIcon::WM_LBUTTONDOWN);
    EXPECT_FALSE(window.isVisible());
    tray->onIconMouseMessage(SShellNotifyIcon::WM_LBUTTONDOWN);
    EXPECT_TRUE(window.isVisible());
    tray->onIconMouseMessage(SShellNotifyIcon::WM_LBUTTONDOWN);
    EXPECT_FALSE(window.isVisible());
}

// The ids of the checked items of the tray menu as it would open now.
std::vector<int> checkedTrayItems(const SShellNotifyIcon& tray)
{
    std::vector<int> checked;
    const auto menu = tray.loadTrayMenu();
    if (!menu) {
        return {-1};
    }
    for (const QAction* action : menu->qmenu()->actions()) {
        if (action->isChecked()) {
            checked.push_back(action->data().toInt());
        }
    }
    return checked;
}

TEST_F(MainWindowTest, TrayMenuSwitchesTheModeAndTheTooltipFollows)
{
    CMainDlg& window = openWindow();
    ASSERT_TRUE(waitConnected());
    SShellNotifyIcon* tray = window.trayIcon();
    ASSERT_NE(tray, nullptr);
    ASSERT_TRUE(processEventsUntil([&] { return checkedTrayItems(*tray) == std::vector<int>{101}; }));
    EXPECT_NE(tray->tip().find(L"Mode 1, 500 DPI"), std::wstring::npos) << QString::fromStdWString(tray->tip()).toStdString();

    window.sendMessage(WM_COMMAND, makeWParam(kCommandSelectModeFirst + 2, 0), 0);
    EXPECT_TRUE(processEventsUntil([this] { return mouse_->firmwareState().currentMode == 2; }));
    EXPECT_EQ(checkedTrayItems(*tray), std::vector<int>{103});
    EXPECT_NE(tray->tip().find(L"Mode 3"), std::wstring::npos);
    EXPECT_TRUE(window.isWindow());
}

TEST_F(MainWindowTest, TrayTooltipSaysWhenTheMouseIsAbsent)
{
    mouse_->unplug();
    CMainDlg& window = openWindow();
    SShellNotifyIcon* tray = window.trayIcon();
    ASSERT_NE(tray, nullptr);
    ASSERT_TRUE(processEventsUntil([&] { return tray->tip().find(L"Mouse not found") != std::wstring::npos; }));
    EXPECT_TRUE(checkedTrayItems(*tray).empty());
}

TEST_F(MainWindowTest, MarksItselfForALaterStartUntilDestroyed)
{
    CMainDlg& window = openWindow();
    const QByteArray mark = QString::fromStdWString(window.instanceName()).toUtf8();
    ASSERT_FALSE(mark.isEmpty());
    EXPECT_EQ(window.property(mark.constData()).toInt(), 1);
    window.sendMessage(WM_CLOSE);
    EXPECT_FALSE(window.property(mark.constData()).isValid());
}

}  // namespace
