// The macro editor recording keys typed into another program, through the
// real keyboard hook on a real X server.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <thread>

#include "XClient.h"
#include "XDesktopEnvironment.h"
#include "toolkit/AppNamedIds.h"
#include "toolkit/FileResourceProvider.h"
#include "toolkit/SApplication.h"
#include "toolkit/SCheckBox.h"
#include "toolkit/STabCtrl.h"
#include "toolkit/StandardWidgets.h"
#include "ui/MacroRecordDlg.h"
#include "ui/widgets/CustomWidgets.h"

namespace {

using namespace std::chrono_literals;

class EditorOnTheDesktop : public testing::Test {
protected:
    void SetUp() override
    {
        app = std::make_unique<SApplication>(L"UIHOST", &registerStandardWidgets);
        registerCustomWidgets(*app);
        ASSERT_TRUE(app->registerNamedIds(appNamedIdTable()));
        ASSERT_TRUE(app->loadSystemResources());
        auto provider = std::make_shared<FileResourceProvider>();
        ASSERT_TRUE(provider->init(QStringLiteral(MOUSECFG_SOURCE_DIR "/uires")));
        app->addResourceProvider(provider);
        ASSERT_TRUE(app->loadUiDefinitions(L"uidef:xml_init"));
        keyNames = {{1, L"Left"}};
        profile.macros = {{L"Group 0", {}}};
        profile.macroSel = 0;
        ASSERT_TRUE(other.open());
    }
    void TearDown() override
    {
        dialog.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app.reset();
        switchKeyboardHookOff();
    }
    void open()
    {
        dialog = std::make_unique<MacroRecordDlg>(profile, keyNames);
        ASSERT_TRUE(dialog->createWindow()) << dialog->layoutErrorText().toStdString();
        dialog->sendMessage(WM_INITDIALOG);
        dialog->show();
        ASSERT_TRUE(pumpUntil(other, [&] { return dialog->windowHandle() && dialog->windowHandle()->isExposed(); }));
        // The keys are typed into the other program, not into the editor.
        ASSERT_TRUE(other.takeFocus());
    }
    SWindow* widget(const wchar_t* name) const
    {
        SWindow* w = dialog->findChildByName(name);
        EXPECT_NE(w, nullptr) << QString::fromWCharArray(name).toStdString();
        return w;
    }
    void toggleRecording() { QTest::mouseClick(widget(L"chk_macro_record"), Qt::LeftButton, {}, QPoint(3, 3)); }
    const std::vector<MacroItem>& steps() const { return profile.macros.at(0).items; }
    // Types one stroke and waits until the editor holds `count` steps.
    void strokeAndWait(uint8_t keycode, bool press, std::size_t count)
    {
        other.inject(keycode, press);
        ASSERT_TRUE(pumpUntil(other, [&] { return steps().size() >= count; })) << "steps: " << steps().size();
    }

    std::unique_ptr<SApplication> app;
    ProfileGroup profile;
    std::map<int, std::wstring> keyNames;
    std::unique_ptr<MacroRecordDlg> dialog;
    XClient other;
};

// Where the pictures of the desktop go: $MOUSECFG_SCREENSHOT_DIR, or the
// build tree.
std::filesystem::path screenshotDirectory()
{
    const QByteArray fromEnvironment = qgetenv("MOUSECFG_SCREENSHOT_DIR");
    return fromEnvironment.isEmpty() ? std::filesystem::path(MOUSECFG_SCREENSHOT_DEFAULT_DIR)
                                     : std::filesystem::path(fromEnvironment.toStdString());
}

TEST_F(EditorOnTheDesktop, RecordsKeysTypedElsewhereWithTheirPausesAndWithholdsThem)
{
    profile.param.dlmode = MacroRecordDlg::kDelayRecorded;
    open();
    toggleRecording();
    ASSERT_TRUE(static_cast<SCheckBox*>(widget(L"chk_macro_record"))->isChecked());
    ASSERT_EQ(keyboardHookReach(), KeyboardHookReach::Desktop);

    // Each pause starts after the editor has seen the key before it, so the
    // recorded delay cannot be shorter.
    constexpr int kPauses[] = {120, 80, 60};
    strokeAndWait(xkey::A, true, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(kPauses[0]));
    strokeAndWait(xkey::A, false, 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(kPauses[1]));
    strokeAndWait(xkey::B, true, 3);
    std::this_thread::sleep_for(std::chrono::milliseconds(kPauses[2]));
    strokeAndWait(xkey::B, false, 4);

    ASSERT_EQ(steps().size(), 4u);
    const int expectedCodes[] = {0x41, 0x41, 0x42, 0x42};
    const int expectedStates[] = {0, 1, 0, 1};
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(steps()[i].code, expectedCodes[i]);
        EXPECT_EQ(steps()[i].state, expectedStates[i]);
        EXPECT_EQ(steps()[i].name, i < 2 ? L"A" : L"B");
    }
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_GE(steps()[i].delay, kPauses[i]) << "step " << i;
    }
    EXPECT_EQ(steps()[3].delay, 0) << "no pause is known after the last step yet";

    // The picture is read back from the X server: paint the last step first.
    dialog->repaint();
    QCoreApplication::processEvents();
    std::filesystem::create_directories(screenshotDirectory());
    const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(dialog->winId());
    EXPECT_TRUE(picture.save(QString::fromStdString((screenshotDirectory() / "macro_editor.png").string())));

    // Recording off: the hook is off and the next key reaches the other
    // program first, so none of the recorded keys leaked to it.
    toggleRecording();
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::Off);
    other.inject(xkey::C, true);
    other.inject(xkey::C, false);
    ASSERT_TRUE(pumpUntil(other, [&] { return other.received().size() >= 2; }));
    const std::vector<ReceivedKey> onlyC = {{true, xkey::C, 0}, {false, xkey::C, 0}};
    EXPECT_EQ(other.received(), onlyC) << describe(other.received());
    EXPECT_EQ(steps().size(), 4u);
}

TEST_F(EditorOnTheDesktop, SingleKeyPageCapturesAKeyTypedElsewhere)
{
    open();
    static_cast<STabCtrl*>(widget(L"tab_macro_mode_selection"))->setCurSel(MacroRecordDlg::kPageSingleKey);
    ASSERT_EQ(keyboardHookReach(), KeyboardHookReach::Desktop);

    other.inject(xkey::ControlRight, true);
    other.inject(xkey::ControlRight, false);
    ASSERT_TRUE(pumpUntil(other, [&] { return profile.param.skcode == 0x1A3; })) << profile.param.skcode;
    EXPECT_EQ(widget(L"edit_single_key")->windowText(), L"CtrlRight");

    static_cast<STabCtrl*>(widget(L"tab_macro_mode_selection"))->setCurSel(MacroRecordDlg::kPageFunctionKey);
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::Off);
    other.inject(xkey::C, true);
    other.inject(xkey::C, false);
    ASSERT_TRUE(pumpUntil(other, [&] { return other.received().size() >= 2; }));
    const std::vector<ReceivedKey> onlyC = {{true, xkey::C, 0}, {false, xkey::C, 0}};
    EXPECT_EQ(other.received(), onlyC) << describe(other.received());
}

}  // namespace
