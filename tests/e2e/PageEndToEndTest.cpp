// The mouse settings page driven with the pointer and the keyboard as a user
// does, checked on the simulated mouse's wire.
#include <gtest/gtest.h>

#include <chrono>

#include "MousecfgProcess.h"
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
        expected.push_back(significantHex(hex));
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

}  // namespace
