#include "ToolkitTestSupport.h"

#include "toolkit/SHostWnd.h"
#include "toolkit/SMessageBox.h"
#include "toolkit/SWindow.h"

#include <QTest>
#include <QTimer>

#include <functional>

namespace {

using namespace toolkittest;

// The message box that is open now.
SHostWnd* openMessageBox()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* host = dynamic_cast<SHostWnd*>(w);
        if (host && host->isVisible() && host->isObjectClass(L"hostdialog")) {
            return host;
        }
    }
    return nullptr;
}

void whenBoxOpens(std::function<void(SHostWnd&)> act)
{
    QTimer::singleShot(0, [act] {
        SHostWnd* box = openMessageBox();
        ASSERT_NE(box, nullptr);
        act(*box);
    });
}

struct Press {
    const char* label;
    unsigned type;
    const wchar_t* button;  // pressed, or null to close the window
    int result;
};

class MessageBoxes : public ToolkitApp, public testing::WithParamInterface<Press> {};

TEST_P(MessageBoxes, ReturnThePressedButtonsId)
{
    const Press& p = GetParam();
    whenBoxOpens([&](SHostWnd& box) {
        if (p.button) {
            SWindow* button = box.findChildByName(p.button);
            ASSERT_NE(button, nullptr);
            ASSERT_TRUE(button->isVisible());
            QTest::mouseClick(button, Qt::LeftButton);
        } else {
            box.close();
        }
    });
    EXPECT_EQ(SMessageBox(nullptr, L"All settings will be restored", L"Warning", p.type), p.result);
    EXPECT_EQ(openMessageBox(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, MessageBoxes,
    testing::Values(Press{"OkOfOk", MB_OK, L"button1st", IDOK},
                    Press{"OkOfOkCancel", MB_OKCANCEL | MB_ICONWARNING, L"button1st", IDOK},
                    Press{"CancelOfOkCancel", MB_OKCANCEL, L"button2nd", IDCANCEL},
                    Press{"NoOfYesNo", MB_YESNO | MB_ICONQUESTION, L"button2nd", IDNO},
                    Press{"CancelOfYesNoCancel", MB_YESNOCANCEL, L"button3rd", IDCANCEL},
                    Press{"IgnoreOfAbortRetryIgnore", MB_ABORTRETRYIGNORE, L"button3rd", IDIGNORE},
                    Press{"RetryOfRetryCancel", MB_RETRYCANCEL, L"button1st", IDRETRY},
                    Press{"CloseOfOkCancelIsCancel", MB_OKCANCEL, nullptr, IDCANCEL},
                    Press{"CloseOfOkIsOk", MB_OK, nullptr, IDOK}),
    [](const testing::TestParamInfo<Press>& info) { return std::string(info.param.label); });

struct Shown {
    const char* label;
    unsigned type;
    int buttons;
    bool icon;
};

class MessageBoxContents : public ToolkitApp, public testing::WithParamInterface<Shown> {};

TEST_P(MessageBoxContents, ShowTextCaptionAndTheButtonSet)
{
    const Shown& s = GetParam();
    whenBoxOpens([&](SHostWnd& box) {
        EXPECT_EQ(box.findChildByName(L"msgtext")->windowText(), L"Body text");
        EXPECT_EQ(box.findChildByName(L"msgtitle")->windowText(), L"Caption");
        EXPECT_EQ(box.findChildByName(L"msgicon")->isVisible(), s.icon);
        const wchar_t* names[] = {L"button1st", L"button2nd", L"button3rd"};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(box.findChildByName(names[i])->isVisible(), i < s.buttons) << i;
        }
        box.sendMessage(WM_CLOSE);
        // A set without Cancel stays open when closed; end it with its first button.
        if (box.isVisible()) {
            QTest::mouseClick(box.findChildByName(L"button1st"), Qt::LeftButton);
        }
    });
    EXPECT_GT(SMessageBox(nullptr, L"Body text", L"Caption", s.type), 0);
}

INSTANTIATE_TEST_SUITE_P(Sets, MessageBoxContents,
                         testing::Values(Shown{"Ok", MB_OK, 1, false},
                                         Shown{"OkCancelWarning", MB_OKCANCEL | MB_ICONWARNING, 2, true},
                                         Shown{"YesNoError", MB_YESNO | MB_ICONERROR, 2, true},
                                         Shown{"YesNoCancelInfo", MB_YESNOCANCEL | MB_ICONINFORMATION, 3, true}),
                         [](const testing::TestParamInfo<Shown>& info) { return std::string(info.param.label); });

TEST_F(ToolkitApp, MessageBoxPrefersThePackagesLayout)
{
    TempPackage package;
    package.add(QStringLiteral("LAYOUT:SYS_XML_MSGBOX"), QStringLiteral("box.xml"),
                R"(<host size="200,100"><text name="msgtext"/><text name="marker"/><button name="button1st"/></host>)");
    addPackage(package.commit());
    bool marked = false;
    whenBoxOpens([&](SHostWnd& box) {
        marked = box.findChildByName(L"marker") != nullptr;
        QTest::mouseClick(box.findChildByName(L"button1st"), Qt::LeftButton);
    });
    EXPECT_EQ(SMessageBox(nullptr, L"text", L"caption", MB_OK), IDOK);
    EXPECT_TRUE(marked);
}

TEST_F(ToolkitApp, MessageBoxWithoutAnyLayoutReturnsFailure)
{
    // An application that never loaded the system resources and has no package.
    app.reset();
    app = std::make_unique<SApplication>(L"UIHOST", &registerStandardWidgets);
    EXPECT_EQ(SMessageBox(nullptr, L"text", L"caption", MB_OK), -1);
}

}  // namespace
