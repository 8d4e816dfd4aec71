// The mouse settings page driven with the pointer and the keyboard as a user
// does, checked on the simulated mouse's wire.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "MousecfgProcess.h"
#include "ReportHex.h"
#include "config/ProfileStore.h"
#include "Waiting.h"
#include "XClient.h"

namespace {

using namespace std::chrono_literals;

// One thing the user does on the page.
struct UserAction {
    enum Kind { ChooseItem, Click, SliderToEnd } kind;
    const char* widget;
    int steps = 0;  // ChooseItem: items down from the current one; SliderToEnd: +1 right, -1 left
};

class Page : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pointer.connect());
        ASSERT_TRUE(program.start());
        ASSERT_TRUE(program.waitForWidget("cmb_profile")) << program.output();
        ASSERT_TRUE(program.waitForRequests(kConnectionRead.size())) << program.output();
        ASSERT_EQ(program.hostRequests(), kConnectionRead);
        ASSERT_TRUE(program.waitForText("statever", "version: v0105"));
    }

    void perform(const UserAction& action)
    {
        const auto rect = program.waitForWidget(action.widget);
        ASSERT_TRUE(rect) << action.widget << " is not shown";
        switch (action.kind) {
        case UserAction::ChooseItem:
            pointer.click(*rect);
            ASSERT_TRUE(pollUntil([&] { return pointer.popupShown("mousecfg"); }, 5s)) << "no list opened";
            for (int i = 0; i < action.steps; ++i) {
                pointer.stroke(xkey::Down);
            }
            pointer.stroke(xkey::Return);
            ASSERT_TRUE(pollUntil([&] { return !pointer.popupShown("mousecfg"); }, 5s));
            break;
        case UserAction::Click:
            pointer.click(*rect);
            break;
        case UserAction::SliderToEnd:
            pointer.click(action.steps > 0 ? rect->x + rect->width - 1 : rect->x, rect->centreY());
            break;
        }
    }

    // The requests since the connection read, once `count` have come and the
    // mouse has been unplugged (which ends the program, so nothing more can
    // come after).
    std::vector<std::string> requestsThenUnplug(std::size_t count)
    {
        EXPECT_TRUE(program.waitForRequests(kConnectionRead.size() + count)) << program.output();
        EXPECT_TRUE(program.control("unplug"));
        EXPECT_EQ(program.process().waitForExit(10s), 0);
        return program.requestsAfter(kConnectionRead.size());
    }

    // Clicks a button of the mouse picture and waits for the editor.
    void openEditorFor(int button)
    {
        // The buttons' rectangles in the picture, from its coords file.
        constexpr ScreenRect kButtons[] = {{62, 28, 77, 151}, {161, 28, 77, 151}, {139, 46, 22, 76}};
        const auto picture = program.waitForWidget("img_keyboard");
        ASSERT_TRUE(picture);
        const ScreenRect& b = kButtons[button];
        pointer.click(picture->x + b.centreX(), picture->y + b.centreY());
        ASSERT_TRUE(program.waitForWidget("btnOK")) << "the editor did not open";
    }
    // Clicks a tab of the editor (tabWidth 150, tabInterval 6, tabHeight 38
    // in its layout).
    void chooseEditorPage(int page, const char* widgetOfThePage)
    {
        const auto tabs = program.waitForWidget("tab_macro_mode_selection");
        ASSERT_TRUE(tabs);
        pointer.click(tabs->x + page * (150 + 6) + 75, tabs->y + 19);
        ASSERT_TRUE(program.waitForWidget(widgetOfThePage)) << "page " << page << " did not open";
    }
    // Answers the message box with one of its buttons.
    void answerMessageBox(const char* button)
    {
        perform({UserAction::Click, button});
        ASSERT_TRUE(program.waitForWidgetGone(button)) << "the message box did not take the click on " << button;
    }
    void closeEditorWith(const char* button)
    {
        perform({UserAction::Click, button});
        ASSERT_TRUE(program.waitForWidgetGone("btnOK"));
    }
    ProfileGroup savedProfile() const
    {
        ProfileStore store;
        store.directory = program.directory();
        store.fileName = kMouseProfileFileName;
        loadProfileStore(store, kMouseProfileFileName);
        return store.groups.empty() ? ProfileGroup{} : store.groups.front();
    }
    const RecordGroup* savedRecordOf(int button) const
    {
        static ProfileGroup profile;
        profile = savedProfile();
        for (const RecordGroup& r : profile.records) {
            if (r.code == button) {
                return &r;
            }
        }
        return nullptr;
    }
    // Assigns key B to the right button through the editor's single-key page.
    void assignSingleKeyBToTheRightButton()
    {
        openEditorFor(1);
        chooseEditorPage(1, "edit_single_key");
        pointer.stroke(xkey::B);  // typed anywhere: the hook captures it
        ASSERT_TRUE(program.waitForText("edit_single_key", "B"));
        closeEditorWith("btnOK");
    }

    XClient pointer;
    MousecfgProcess program;
};

struct SettingCase {
    const char* name;
    std::vector<UserAction> actions;
    std::vector<std::string> requests;  // after the connection read
    std::pair<const char*, const char*> shown;  // a widget and what it shows afterwards
};

class PageSetting : public Page, public testing::WithParamInterface<SettingCase> {};

TEST_P(PageSetting, SendsItsReportAndOnlyThat)
{
    for (const UserAction& action : GetParam().actions) {
        perform(action);
        if (HasFatalFailure()) {
            return;
        }
    }
    EXPECT_TRUE(program.waitForText(GetParam().shown.first, GetParam().shown.second))
        << GetParam().shown.first << " shows \"" << program.widgets()[GetParam().shown.first].text << '"';
    std::vector<std::string> expected;
    for (const std::string& hex : GetParam().requests) {
        expected.push_back(normalisedHex(hex));
    }
    EXPECT_EQ(requestsThenUnplug(expected.size()), expected);
}

// The simulated mouse starts factory-fresh: mode 0, effect 0, brightness 3,
// speed 2, the four areas red; DPI stage 0 at level 0 in red. Light reports
// carry the area colours as blue, green, red.
const SettingCase kSettings[] = {
    {"Mode", {{UserAction::ChooseItem, "cmb_profile", 1}}, {"07 FA 02", "07 F5", "07 F7"}, {"cmb_profile", "Mode 2"}},
    {"DpiStage",
     {{UserAction::ChooseItem, "cmb_mouse_dpi_index", 1}},
     {"07 FB 01 FF 00 00", "07 F4"},
     {"cmb_mouse_dpi_index", "Stage 2"}},
    {"DpiLevelSlider",
     {{UserAction::SliderToEnd, "bar_mouse_dpi_grade", 1}},
     {"07 FB C0 FF 00 00"},
     {"text_mouse_dpi_grade", "4800"}},
    {"SpeedSlider",
     {{UserAction::SliderToEnd, "bar_mouse_speed", 1}},
     {"07 FC 00 03 04 00 00 00 00 FF 00 00 FF 00 00 FF 00 00 FF"},
     {"bar_mouse_speed", "4"}},
    {"LightPresetColour",
     {{UserAction::ChooseItem, "cmb_light_mode_normal", 1}, {UserAction::Click, "mouse_color_panel_defcol2"}},
     {"07 FC 01 03 02 00 00 00 00 FF 00 00 FF 00 00 FF 00 00 FF", "07 F5",
      "07 FC 01 03 02 00 00 00 FF 00 00 00 FF 00 00 FF 00 00 FF"},
     {"color_panel_g", "255"}},
    {"AreaPreset",
     {{UserAction::ChooseItem, "cmb_light_mode_normal", 5}, {UserAction::Click, "mouse_color_area3_defcol3"}},
     {"07 FC 05 03 02 00 00 00 00 FF 00 00 FF 00 00 FF 00 00 FF", "07 F5",
      "07 FC 05 03 02 00 00 00 00 FF 00 00 FF FF 00 00 00 00 FF"},
     {"cmb_light_mode_normal", "Four zones"}},
};

INSTANTIATE_TEST_SUITE_P(Table, PageSetting, testing::ValuesIn(kSettings),
                         [](const testing::TestParamInfo<SettingCase>& info) { return std::string(info.param.name); });

TEST_F(Page, ShowsTheMousesValuesAfterConnecting)
{
    const auto widgets = program.widgets();
    const std::pair<const char*, const char*> shown[] = {
        {"cmb_profile", "Mode 1"},        {"cmb_light_mode_normal", "Wave"}, {"cmb_mouse_dpi_index", "Stage 1"},
        {"bar_mouse_dpi_grade", "0"},     {"text_mouse_dpi_grade", "500"},   {"bar_mouse_speed", "2"},
        {"bar_mouse_brightness", "3"},    {"statever", "version: v0105"},
    };
    for (const auto& [name, text] : shown) {
        ASSERT_TRUE(widgets.count(name)) << name;
        EXPECT_EQ(widgets.at(name).text, text) << name;
    }
}


constexpr int kRightButton = 1;
constexpr int kWheelButton = 2;
const std::vector<std::string> kSingleKeyB = {"07 FD 02 05", "07 F7"};

TEST_F(Page, ASingleKeyCapturedThroughTheHookIsAssigned)
{
    assignSingleKeyBToTheRightButton();
    EXPECT_TRUE(program.waitForRequests(kConnectionRead.size() + kSingleKeyB.size()));
    ASSERT_TRUE(pollUntil([&] { return savedRecordOf(kRightButton) != nullptr; }, 5s)) << "no record saved";
    const RecordGroup* record = savedRecordOf(kRightButton);
    ASSERT_EQ(record->items.size(), 1u);
    EXPECT_EQ(record->items[0].code, 0x42);
    std::vector<std::string> expected;
    for (const std::string& hex : kSingleKeyB) {
        expected.push_back(normalisedHex(hex));
    }
    EXPECT_EQ(requestsThenUnplug(expected.size()), expected);
}

TEST_F(Page, ARecordedTwoKeyMacroIsDownloadedBoundAndSaved)
{
    assignSingleKeyBToTheRightButton();
    ASSERT_TRUE(program.waitForRequests(kConnectionRead.size() + kSingleKeyB.size()));

    openEditorFor(kWheelButton);
    chooseEditorPage(0, "chk_macro_record");
    perform({UserAction::Click, "groupAdd"});
    ASSERT_TRUE(program.waitForText("group_name", "Group 0")) << "no group was added";
    perform({UserAction::Click, "chk_macro_record"});
    ASSERT_TRUE(program.waitForText("chk_macro_record", "Stop record")) << "recording did not start";
    // Each pause starts once the editor shows the step of the key before
    // it, so no recorded delay can be shorter than its pause.
    constexpr int kPauses[] = {120, 80, 60};
    const uint8_t keys[] = {xkey::A, xkey::A, xkey::B, xkey::B};
    for (std::size_t i = 0; i < 4; ++i) {
        pointer.inject(keys[i], i % 2 == 0);
        ASSERT_TRUE(pollUntil([&] { return program.countShowing("key_code") == i + 1; }, 5s))
            << "step " << i << " not shown; rows: " << program.countShowing("key_code");
        if (i < 3) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kPauses[i]));
        }
    }
    perform({UserAction::Click, "chk_macro_record"});
    ASSERT_TRUE(program.waitForText("chk_macro_record", "Start record"));
    closeEditorWith("btnOK");

    // The macro table in 48 halves, the bind of the wheel button to its
    // slot, the status read.
    constexpr std::size_t kDownload = 48 + 2;
    const std::size_t before = kConnectionRead.size() + kSingleKeyB.size();
    ASSERT_TRUE(program.waitForRequests(before + kDownload)) << program.hostRequests().size();
    const std::vector<std::string> requests = program.requestsAfter(before);
    ASSERT_EQ(requests.size(), kDownload);
    EXPECT_EQ(requests[48], "07 FE 03 03");
    EXPECT_EQ(requests[49], "07 F7");
    // The wheel button's slot: repeat 1, then A and B as HID usages 04 and
    // 05, each pressed and then released (the high bit of its delay byte).
    std::istringstream slot(requests[4]);
    std::vector<unsigned> bytes;
    for (unsigned b = 0; slot >> std::hex >> b;) {
        bytes.push_back(b);
    }
    ASSERT_GE(bytes.size(), 12u) << requests[4];
    EXPECT_EQ(std::vector<unsigned>(bytes.begin(), bytes.begin() + 4), (std::vector<unsigned>{0x07, 0xFF, 0x04, 0x01}));
    const unsigned usages[] = {0x04, 0x04, 0x05, 0x05};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bytes[4 + 2 * i], usages[i]) << "entry " << i << ": " << requests[4];
        EXPECT_EQ(bytes[5 + 2 * i] >> 7, static_cast<unsigned>(i % 2)) << "entry " << i << ": " << requests[4];
    }

    ASSERT_TRUE(pollUntil([&] { return savedRecordOf(kWheelButton) != nullptr; }, 5s)) << "no record saved";
    const RecordGroup* macro = savedRecordOf(kWheelButton);
    ASSERT_EQ(macro->items.size(), 4u);
    const int codes[] = {0x41, 0x41, 0x42, 0x42};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(macro->items[static_cast<std::size_t>(i)].code, codes[i]);
        EXPECT_EQ(macro->items[static_cast<std::size_t>(i)].state, i % 2);
        if (i < 3) {
            EXPECT_GE(macro->items[static_cast<std::size_t>(i)].delay, kPauses[i]) << "step " << i;
        }
    }
    EXPECT_NE(savedRecordOf(kRightButton), nullptr) << "the single key's record is kept";
    // The status read marks both assigned buttons on the picture.
    EXPECT_TRUE(program.waitForText("img_keyboard", "selected 1 2"));
}

TEST_F(Page, DeleteRestoresTheButtonsOwnFunction)
{
    assignSingleKeyBToTheRightButton();
    ASSERT_TRUE(program.waitForRequests(kConnectionRead.size() + kSingleKeyB.size()));
    ASSERT_TRUE(pollUntil([&] { return savedRecordOf(kRightButton) != nullptr; }, 5s));

    openEditorFor(kRightButton);
    closeEditorWith("btnDelete");
    const std::vector<std::string> restore = {"07 FD 02 00", "07 FE 02 00", "07 F7"};
    std::vector<std::string> expected;
    for (const std::string& hex : kSingleKeyB) {
        expected.push_back(normalisedHex(hex));
    }
    for (const std::string& hex : restore) {
        expected.push_back(normalisedHex(hex));
    }
    EXPECT_TRUE(pollUntil([&] { return savedRecordOf(kRightButton) == nullptr; }, 5s)) << "the record is kept";
    EXPECT_EQ(requestsThenUnplug(expected.size()), expected);
}

TEST_F(Page, FactoryRestoreCancelSendsNothing)
{
    perform({UserAction::Click, "btn_mouse_restore_factory"});
    ASSERT_TRUE(program.waitForText("button2nd", "Cancel"));
    answerMessageBox("button2nd");
    EXPECT_EQ(requestsThenUnplug(0), std::vector<std::string>{});
}

TEST_F(Page, FactoryRestoreOkResetsAndReadsTheMouseAgainWhenItComesBack)
{
    perform({UserAction::Click, "btn_mouse_restore_factory"});
    ASSERT_TRUE(program.waitForText("button1st", "OK"));
    answerMessageBox("button1st");
    // The reset, then the mouse leaves and comes back: the window stays and
    // connects again.
    std::vector<std::string> expected = {normalisedHex("07 F8")};
    expected.insert(expected.end(), kConnectionRead.begin(), kConnectionRead.end());
    ASSERT_TRUE(program.waitForRequests(kConnectionRead.size() + expected.size(), 15s)) << program.output();
    EXPECT_TRUE(program.process().running());
    EXPECT_TRUE(program.waitForText("statever", "version: v0105"));
    EXPECT_EQ(requestsThenUnplug(expected.size()), expected);
}

// A confirmed factory restore keeps the window when the mouse goes; the
// mouse is then taken away from outside before it comes back by itself, and
// plugged in again while the window is open.
TEST_F(Page, PluggingTheMouseInWhileTheWindowIsOpenConnectsIt)
{
    perform({UserAction::Click, "btn_mouse_restore_factory"});
    ASSERT_TRUE(program.waitForText("button1st", "OK"));
    answerMessageBox("button1st");
    ASSERT_TRUE(program.waitForRequests(kConnectionRead.size() + 1));
    ASSERT_EQ(program.requestsAfter(kConnectionRead.size()).front(), "07 F8");
    ASSERT_TRUE(program.control("unplug"));
    ASSERT_TRUE(pollUntil([&] { return program.widgets()["statever"].text != "version: v0105"; }, 5s))
        << "the window still shows the mouse's version";
    EXPECT_TRUE(program.process().running()) << "the unplug during the restore closed the program";
    EXPECT_EQ(program.requestsAfter(kConnectionRead.size()).size(), 1u) << "requests without a mouse";

    ASSERT_TRUE(program.control("plug"));
    ASSERT_TRUE(program.waitForRequests(2 * kConnectionRead.size() + 1)) << program.output();
    EXPECT_TRUE(program.waitForText("statever", "version: v0105"));
    std::vector<std::string> expected = {"07 F8"};
    expected.insert(expected.end(), kConnectionRead.begin(), kConnectionRead.end());
    // The restore is over: the next unplug closes the program.
    EXPECT_EQ(requestsThenUnplug(expected.size()), expected);
}

}  // namespace
