#include "FakeKeySource.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "toolkit/AppNamedIds.h"
#include "toolkit/FileResourceProvider.h"
#include "toolkit/SApplication.h"
#include "toolkit/SButton.h"
#include "toolkit/SCheckBox.h"
#include "toolkit/SListView.h"
#include "toolkit/SMcListView.h"
#include "toolkit/STabCtrl.h"
#include "toolkit/StandardWidgets.h"
#include "ui/MacroFile.h"
#include "ui/MacroRecordDlg.h"
#include "ui/widgets/CustomWidgets.h"

namespace {

using namespace editortest;

constexpr uint32_t VK_A = 0x41;
constexpr uint32_t VK_B = 0x42;
constexpr uint32_t VK_LCONTROL = 0xA2;
constexpr uint32_t VK_RCONTROL = 0xA3;

// The dialog on the project's package, with fake hook backends and a clock
// the test moves.
class EditorDialog : public testing::Test {
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
        keyNames = {{2, L"Right"}, {1, L"Left"}, {3, L""}};
    }
    void TearDown() override
    {
        dialog.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        app.reset();
    }

    // Builds the window and runs the initialisation, as the modal run does.
    void open()
    {
        dialog = std::make_unique<MacroRecordDlg>(profile, keyNames);
        dialog->setClock([this] { return now; });
        ASSERT_TRUE(dialog->createWindow()) << dialog->layoutErrorText().toStdString();
        dialog->sendMessage(WM_INITDIALOG);
        dialog->resize(900, 640);
        dialog->show();
        QCoreApplication::processEvents();
    }

    SWindow* widget(const wchar_t* name) const
    {
        SWindow* w = dialog->findChildByName(name);
        EXPECT_NE(w, nullptr) << QString::fromWCharArray(name).toStdString();
        return w;
    }
    void click(const wchar_t* name) { QTest::mouseClick(widget(name), Qt::LeftButton, {}, QPoint(3, 3)); }
    SListView* groupList() const { return static_cast<SListView*>(widget(L"macro_group")); }
    SMcListView* keyList() const { return static_cast<SMcListView*>(widget(L"key_info")); }
    SCheckBox* recordCheck() const { return static_cast<SCheckBox*>(widget(L"chk_macro_record")); }
    void clickGroupRow(int position)
    {
        SListRow* row = groupList()->rowAt(position);
        ASSERT_NE(row, nullptr);
        QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(2, 2));
    }
    void startRecording()
    {
        click(L"chk_macro_record");
        ASSERT_TRUE(recordCheck()->isChecked());
        ASSERT_TRUE(dialog->isRecording());
    }
    const std::vector<MacroItem>& steps(int group = 0) const { return profile.macros.at(group).items; }

    std::unique_ptr<SApplication> app;
    FakeBackends fakes;
    ProfileGroup profile;
    std::map<int, std::wstring> keyNames;
    std::unique_ptr<MacroRecordDlg> dialog;
    uint32_t now = 5000;
};

TEST_F(EditorDialog, ShowsTheButtonNamesInCodeOrder)
{
    open();
    EXPECT_EQ(widget(L"text_recording_keys")->windowText(), L"Left,Right");
    EXPECT_STREQ(dialog->objectClassName(), L"macro::Grouplg");
    EXPECT_TRUE(dialog->isObjectClass(L"hostdialog"));
}

struct DelayModeCase {
    const char* label;
    int dlmode;
    int32_t fixedDelay;
    int32_t expectedFirst;   // A press: the pause before A's release
    int32_t expectedSecond;  // A release: the pause before B's press
};

const DelayModeCase kDelayModes[] = {
    {"Recorded", 0, 10, 120, 300},
    {"Fixed", 1, 10, 10, 10},
    {"None", 2, 10, 0, 0},
};

class RecordingModes : public EditorDialog, public testing::WithParamInterface<DelayModeCase> {};

TEST_P(RecordingModes, GiveTheStepsAndDelaysOfTheMode)
{
    profile.macros = {{L"Group 0", {}}};
    profile.macroSel = 0;
    profile.param.dlmode = GetParam().dlmode;
    profile.param.delay = GetParam().fixedDelay;
    open();
    startRecording();
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::Desktop);

    EXPECT_TRUE(press(VK_A));
    now += 120;
    EXPECT_TRUE(release(VK_A));
    now += 300;
    EXPECT_TRUE(press(VK_B));

    const std::vector<MacroItem> expected = {
        {0x41, 0, GetParam().expectedFirst, L"A"},
        {0x41, 1, GetParam().expectedSecond, L"A"},
        {0x42, 0, 0, L"B"},
    };
    EXPECT_EQ(steps(), expected);
    EXPECT_EQ(keyList()->getAdapter()->getCount(), 3);
}

INSTANTIATE_TEST_SUITE_P(Table, RecordingModes, testing::ValuesIn(kDelayModes),
                         [](const testing::TestParamInfo<DelayModeCase>& info) { return std::string(info.param.label); });

TEST_F(EditorDialog, AReleaseFirstIsSwallowedAndNotRecorded)
{
    profile.macros = {{L"Group 0", {}}};
    profile.macroSel = 0;
    open();
    startRecording();
    EXPECT_TRUE(release(VK_A));
    EXPECT_TRUE(steps().empty());
}

TEST_F(EditorDialog, AutoRepeatPressesAreRecordedLikeOthers)
{
    profile.macros = {{L"Group 0", {}}};
    profile.macroSel = 0;
    open();
    startRecording();
    press(VK_A);
    now += 30;
    press(VK_A);
    now += 30;
    press(VK_A);
    now += 5;
    release(VK_A);
    ASSERT_EQ(steps().size(), 4u);
    EXPECT_EQ(steps()[0].delay, 30);
    EXPECT_EQ(steps()[1].delay, 30);
    EXPECT_EQ(steps()[2].delay, 5);
    EXPECT_EQ(steps()[3].state, 1);
}

TEST_F(EditorDialog, RightAndLeftCtrlAreTold)
{
    profile.macros = {{L"Group 0", {}}};
    profile.macroSel = 0;
    open();
    startRecording();
    press(VK_RCONTROL, true);
    press(VK_LCONTROL);
    ASSERT_EQ(steps().size(), 2u);
    EXPECT_EQ(steps()[0].code, 0x1A3);
    EXPECT_EQ(steps()[0].name, L"CtrlRight");
    EXPECT_EQ(steps()[1].code, 0xA2);
    EXPECT_EQ(steps()[1].name, L"CtrlLeft");
}

TEST_F(EditorDialog, AnOldLastStepKeepsItsDelayUntilAPauseIsKnown)
{
    profile.macros = {{L"Group 0", {{0x41, 0, 77, L"A"}}}};
    profile.macroSel = 0;
    open();
    startRecording();
    now += 1000;
    press(VK_B);
    now += 40;
    release(VK_B);
    ASSERT_EQ(steps().size(), 3u);
    EXPECT_EQ(steps()[0].delay, 77);
    EXPECT_EQ(steps()[1].delay, 40);
}

TEST_F(EditorDialog, TheClockMayWrapBetweenEvents)
{
    profile.macros = {{L"Group 0", {}}};
    profile.macroSel = 0;
    now = 0xFFFFFFF0u;
    open();
    startRecording();
    press(VK_A);
    now += 0x20;  // wraps to 0x10
    release(VK_A);
    EXPECT_EQ(steps()[0].delay, 0x20);
}

TEST_F(EditorDialog, WithoutAGroupTheSwitchClearsItselfAndKeysPass)
{
    open();
    click(L"chk_macro_record");
    EXPECT_FALSE(recordCheck()->isChecked());
    EXPECT_FALSE(dialog->isRecording());
    EXPECT_FALSE(press(VK_A));
}

TEST_F(EditorDialog, TheSwitchTextAndTheHookFollowTheCheckMark)
{
    profile.macros = {{L"Group 0", {}}};
    profile.macroSel = 0;
    open();
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::Off);
    click(L"chk_macro_record");
    EXPECT_EQ(recordCheck()->windowText(), L"Stop record");
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::Desktop);
    EXPECT_TRUE(widget(L"img_recording")->isVisible());
    click(L"chk_macro_record");
    EXPECT_EQ(recordCheck()->windowText(), L"Start record");
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::Off);
    EXPECT_FALSE(widget(L"img_recording")->isVisible());
    EXPECT_FALSE(press(VK_A));
}

TEST_F(EditorDialog, TheRecordingLineTellsWhenOnlyOwnKeysAreSeen)
{
    profile.macros = {{L"Group 0", {}}};
    profile.macroSel = 0;
    fakes.desktop->refuse = true;
    open();
    click(L"chk_macro_record");
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::OwnWindows);
    const std::wstring line = widget(L"text_record_state")->windowText();
    EXPECT_NE(line.find(L"cannot be captured"), std::wstring::npos);
    EXPECT_NE(line.find(L"this window"), std::wstring::npos);
}

TEST_F(EditorDialog, SingleKeyPageTakesThePressAndPassesTheRelease)
{
    open();
    static_cast<STabCtrl*>(widget(L"tab_macro_mode_selection"))->setCurSel(1);
    EXPECT_EQ(profile.param.page, 1);
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::Desktop);
    EXPECT_TRUE(press(VK_RCONTROL, true));
    EXPECT_FALSE(release(VK_RCONTROL, true));
    EXPECT_EQ(profile.param.skcode, 0x1A3);
    EXPECT_EQ(widget(L"edit_single_key")->windowText(), L"CtrlRight");
    EXPECT_EQ(widget(L"edit_single_key")->userData(), 0x1A3);

    static_cast<STabCtrl*>(widget(L"tab_macro_mode_selection"))->setCurSel(2);
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::Off);
    EXPECT_FALSE(press(VK_A));
}

TEST_F(EditorDialog, OpensOnTheProfilesPageAndSingleKey)
{
    profile.param.page = 1;
    profile.param.skcode = 0x10D;
    open();
    EXPECT_EQ(static_cast<STabCtrl*>(widget(L"tab_macro_mode_selection"))->getCurSel(), 1);
    EXPECT_EQ(widget(L"edit_single_key")->windowText(), L"Pad Enter");
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::Desktop);
}

struct GroupNamingCase {
    const char* label;
    std::vector<std::wstring> names;
    std::wstring expected;
};

const GroupNamingCase kGroupNaming[] = {
    {"Empty", {}, L"Group 0"},
    {"CountIsFree", {L"Fire", L"Jump"}, L"Group 2"},
    {"CountIsTaken", {L"Group 2", L"Jump"}, L"Group 3"},
    {"CaseSensitive", {L"group 2", L"Jump"}, L"Group 2"},
};

class GroupNaming : public EditorDialog, public testing::WithParamInterface<GroupNamingCase> {};

TEST_P(GroupNaming, NewGroupsTakeTheFirstFreeNumberFromTheCount)
{
    for (const std::wstring& name : GetParam().names) {
        profile.macros.push_back({name, {}});
    }
    open();
    click(L"groupAdd");
    ASSERT_EQ(profile.macros.size(), GetParam().names.size() + 1);
    EXPECT_EQ(profile.macros.back().name, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, GroupNaming, testing::ValuesIn(kGroupNaming),
                         [](const testing::TestParamInfo<GroupNamingCase>& info) { return std::string(info.param.label); });

TEST_F(EditorDialog, TheFirstGroupAddedBecomesTheSelection)
{
    open();
    click(L"groupAdd");
    EXPECT_EQ(profile.macroSel, 0);
    EXPECT_EQ(groupList()->getSel(), 0);
    startRecording();
    press(VK_A);
    EXPECT_EQ(steps().size(), 1u);
}

TEST_F(EditorDialog, AddingGroupsKeepsTheKeyListOnItsGroup)
{
    profile.macros = {{L"One", {{0x41, 0, 0, L"A"}}}};
    profile.macroSel = 0;
    open();
    for (int i = 0; i < 20; ++i) {
        click(L"groupAdd");
    }
    startRecording();
    press(VK_B);
    EXPECT_EQ(steps(0).size(), 2u);
    EXPECT_EQ(keyList()->getAdapter()->getCount(), 2);
}

TEST_F(EditorDialog, DeletingTheLastGroupLeavesNoSelectionAndAnEmptyList)
{
    profile.macros = {{L"Only", {{0x41, 0, 0, L"A"}}}};
    profile.macroSel = 0;
    open();
    click(L"groupDel");
    EXPECT_TRUE(profile.macros.empty());
    EXPECT_EQ(profile.macroSel, -1);
    EXPECT_EQ(keyList()->getAdapter()->getCount(), 0);
}

TEST_F(EditorDialog, DeletingAGroupShowsTheOneThatTakesItsRow)
{
    profile.macros = {{L"A", {{0x41, 0, 0, L"A"}}}, {L"B", {{0x42, 0, 0, L"B"}, {0x42, 1, 0, L"B"}}}};
    profile.macroSel = 0;
    open();
    click(L"groupDel");
    ASSERT_EQ(profile.macros.size(), 1u);
    EXPECT_EQ(profile.macros[0].name, L"B");
    EXPECT_EQ(profile.macros[0].items.size(), 2u);
    EXPECT_EQ(profile.macroSel, 0);
    EXPECT_EQ(keyList()->getAdapter()->getCount(), 2);
}

TEST_F(EditorDialog, ClickingAGroupRowShowsItsSteps)
{
    profile.macros = {{L"A", {}}, {L"B", {{0x42, 0, 0, L"B"}}}};
    profile.macroSel = 0;
    open();
    clickGroupRow(1);
    EXPECT_EQ(profile.macroSel, 1);
    EXPECT_EQ(dialog->groupAdapter().lastClicked(), 1);
    EXPECT_EQ(keyList()->getAdapter()->getCount(), 1);
}

TEST_F(EditorDialog, EditingAGroupNameRenamesItsGroup)
{
    profile.macros = {{L"A", {}}, {L"B", {}}};
    open();
    SListRow* row = groupList()->rowAt(1);
    ASSERT_NE(row, nullptr);
    row->findChildByName(L"group_name")->setWindowText(L"Jump");
    EXPECT_EQ(profile.macros[1].name, L"Jump");
    EXPECT_EQ(profile.macros[0].name, L"A");
}

struct StepMoveCase {
    const char* label;
    const wchar_t* button;
    int selectedRow;
    std::vector<int32_t> expectedCodes;
    int expectedSel;
};

const StepMoveCase kStepMoves[] = {
    {"UpFromTheMiddle", L"item_up", 1, {2, 1, 3}, 0},
    {"UpAtTheTopStays", L"item_up", 0, {1, 2, 3}, 0},
    {"DownFromTheMiddle", L"item_down", 1, {1, 3, 2}, 2},
    {"DownAtTheBottomStays", L"item_down", 2, {1, 2, 3}, 2},
    {"NoSelectionMovesNothing", L"item_down", -1, {1, 2, 3}, -1},
    {"DeleteTheSelected", L"item_delete", 1, {1, 3}, 1},
    {"ClearAll", L"item_clear", 0, {}, -1},
};

class StepMoves : public EditorDialog, public testing::WithParamInterface<StepMoveCase> {};

TEST_P(StepMoves, ChangeTheStepsOfTheSelectedGroupOnly)
{
    profile.macros = {{L"Other", {{9, 0, 0, L""}}}, {L"Steps", {{1, 0, 0, L""}, {2, 0, 0, L""}, {3, 0, 0, L""}}}};
    profile.macroSel = 1;
    open();
    keyList()->setSel(GetParam().selectedRow);
    click(GetParam().button);
    std::vector<int32_t> codes;
    for (const MacroItem& item : steps(1)) {
        codes.push_back(item.code);
    }
    EXPECT_EQ(codes, GetParam().expectedCodes);
    EXPECT_EQ(keyList()->getSel(), GetParam().expectedSel);
    EXPECT_EQ(steps(0).size(), 1u);
    EXPECT_EQ(profile.macroSel, 1);
}

INSTANTIATE_TEST_SUITE_P(Table, StepMoves, testing::ValuesIn(kStepMoves),
                         [](const testing::TestParamInfo<StepMoveCase>& info) { return std::string(info.param.label); });

struct DelayEditCase {
    const char* label;
    const wchar_t* text;
    int32_t expectedDelay;
    const wchar_t* expectedText;
};

const DelayEditCase kDelayEdits[] = {
    {"Number", L"250", 250, L"250"},
    {"Empty", L"", 0, L""},
    {"NotANumberIsSetBack", L"abc", 40, L"40"},
    {"LeadingNumber", L"75ms", 75, L"75ms"},
};

class DelayEdits : public EditorDialog, public testing::WithParamInterface<DelayEditCase> {};

TEST_P(DelayEdits, SetTheStepsDelay)
{
    profile.macros = {{L"Steps", {{0x41, 0, 40, L"A"}, {0x41, 1, 0, L"A"}}}};
    profile.macroSel = 0;
    open();
    SListRow* row = keyList()->rowAt(0);
    ASSERT_NE(row, nullptr);
    SWindow* delay = row->findChildByName(L"key_delay");
    ASSERT_NE(delay, nullptr);
    EXPECT_EQ(delay->windowText(), L"40");
    delay->setWindowText(GetParam().text);
    EXPECT_EQ(steps()[0].delay, GetParam().expectedDelay);
    EXPECT_EQ(delay->windowText(), GetParam().expectedText);
    EXPECT_EQ(steps()[1].delay, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, DelayEdits, testing::ValuesIn(kDelayEdits),
                         [](const testing::TestParamInfo<DelayEditCase>& info) { return std::string(info.param.label); });

TEST_F(EditorDialog, StepRowsShowCodeNameAndState)
{
    profile.macros = {{L"Steps", {{0x41, 0, 0, L"A"}, {0x41, 1, 0, L"A"}, {0x41, 7, 0, L"A"}}}};
    profile.macroSel = 0;
    open();
    const wchar_t* states[] = {L"key down", L"key up", L"replace"};
    for (int i = 0; i < 3; ++i) {
        SListRow* row = keyList()->rowAt(i);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->findChildByName(L"key_code")->windowText(), L"65");
        EXPECT_EQ(row->findChildByName(L"key_name")->windowText(), L"A");
        EXPECT_EQ(row->findChildByName(L"key_state")->windowText(), states[i]);
    }
}

TEST_F(EditorDialog, HeaderClicksTurnTheSortMarks)
{
    open();
    keyList()->clickHeader(1);
    EXPECT_EQ(keyList()->sortMark(1), kSortUp);
    keyList()->clickHeader(1);
    EXPECT_EQ(keyList()->sortMark(1), kSortDown);
    keyList()->clickHeader(2);
    EXPECT_EQ(keyList()->sortMark(1), kSortNone);
    EXPECT_EQ(keyList()->sortMark(2), kSortUp);
}

TEST_F(EditorDialog, DelayModeThreeOpensInRecordedMode)
{
    profile.param.dlmode = 3;
    open();
    EXPECT_EQ(profile.param.dlmode, 0);
    EXPECT_TRUE(widget(L"chk_macro_realy_delay")->isChecked());
    EXPECT_FALSE(widget(L"chk_macro_fixed_delay")->isChecked());
    EXPECT_TRUE(widget(L"edit_macro_delay_time")->isDisabled());
}

TEST_F(EditorDialog, DelayModesAndEditsSetTheProfile)
{
    profile.param.delay = 25;
    open();
    click(L"chk_macro_fixed_delay");
    EXPECT_EQ(profile.param.dlmode, 1);
    SWindow* delayEdit = widget(L"edit_macro_delay_time");
    EXPECT_FALSE(delayEdit->isDisabled());
    EXPECT_EQ(delayEdit->windowText(), L"25");
    delayEdit->setWindowText(L"60");
    EXPECT_EQ(profile.param.delay, 60);

    click(L"chk_macro_no_delay");
    EXPECT_EQ(profile.param.dlmode, 2);
    EXPECT_EQ(delayEdit->windowText(), L"0");
    EXPECT_EQ(profile.param.delay, 60);
    EXPECT_TRUE(delayEdit->isDisabled());

    widget(L"edit_macro_repeat_times")->setWindowText(L"x");
    EXPECT_EQ(profile.param.repeat, 0);
    widget(L"edit_macro_repeat_times")->setWindowText(L"7");
    EXPECT_EQ(profile.param.repeat, 7);
}

struct ResultCase {
    const char* label;
    const wchar_t* button;
    int result;
};

const ResultCase kResults[] = {
    {"Ok", L"btnOK", 1},
    {"Cancel", L"btnCancel", 2},
    {"Delete", L"btnDelete", 65576},
};

class ResultCodes : public EditorDialog, public testing::WithParamInterface<ResultCase> {};

TEST_P(ResultCodes, EndTheModalRunAndKeepTheEdits)
{
    profile.macros = {{L"A", {}}};
    dialog = std::make_unique<MacroRecordDlg>(profile, keyNames);
    QTimer::singleShot(0, [this] {
        click(L"groupAdd");
        click(GetParam().button);
    });
    EXPECT_EQ(dialog->doModal(), GetParam().result);
    EXPECT_EQ(profile.macros.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Table, ResultCodes, testing::ValuesIn(kResults),
                         [](const testing::TestParamInfo<ResultCase>& info) { return std::string(info.param.label); });

TEST_F(EditorDialog, ClosingTheDialogTakesItsHandlerFromTheChain)
{
    profile.macros = {{L"A", {}}};
    profile.macroSel = 0;
    open();
    startRecording();
    EXPECT_TRUE(press(VK_A));
    dialog.reset();
    EXPECT_FALSE(press(VK_A));
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::Desktop);
    switchKeyboardHookOff();
}

class ImportExport : public EditorDialog {
protected:
    void SetUp() override
    {
        EditorDialog::SetUp();
        dir = std::filesystem::temp_directory_path() /
              ("editor_import_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override
    {
        std::filesystem::remove_all(dir);
        EditorDialog::TearDown();
    }
    void choose(const std::filesystem::path& file)
    {
        dialog->setFileChooser([file](bool) { return file; });
    }
    std::filesystem::path dir;
};

TEST_F(ImportExport, ExportedGroupsComeBackWithSuffixedNames)
{
    profile.macros = {{L"Fire", {{0x41, 0, 120, L"A"}, {0x41, 1, 0, L"A"}}}, {L"Jump", {}}};
    profile.macroSel = 0;
    open();
    const auto file = dir / "fire.xml";
    choose(file);
    click(L"groupExport");
    ASSERT_TRUE(std::filesystem::exists(file));
    click(L"groupImport");
    ASSERT_EQ(profile.macros.size(), 3u);
    EXPECT_EQ(profile.macros[2].name, L"Fire (2)");
    EXPECT_EQ(profile.macros[2].items, profile.macros[0].items);
}

TEST_F(ImportExport, WithoutASelectionEveryGroupIsExported)
{
    profile.macros = {{L"Fire", {}}, {L"Jump", {}}};
    open();
    ASSERT_EQ(groupList()->getSel(), -1);
    const auto file = dir / "all.xml";
    choose(file);
    click(L"groupExport");
    std::vector<MacroGroup> read;
    ASSERT_EQ(readMacroFile(file, read), MacroFileResult::Ok);
    EXPECT_EQ(read, profile.macros);
}

TEST_F(ImportExport, ABadFileChangesNothingAndIsTold)
{
    profile.macros = {{L"Fire", {}}};
    open();
    const auto file = dir / "bad.xml";
    std::ofstream(file) << "<profile/>";
    choose(file);
    bool told = false;
    QTimer::singleShot(50, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* host = dynamic_cast<SHostWnd*>(w);
            if (host && host != dialog.get() && host->isWindow()) {
                told = true;
                host->sendMessage(WM_CLOSE);
            }
        }
    });
    click(L"groupImport");
    EXPECT_TRUE(told);
    EXPECT_EQ(profile.macros, (std::vector<MacroGroup>{{L"Fire", {}}}));
}

}  // namespace
