// What the user's actions on the page write to the device side.

#include "PageFixture.h"

#include "toolkit/SComboBox.h"
#include "toolkit/SSliderBar.h"
#include "ui/MouseUiTables.h"

#include <QMouseEvent>

#include <string>

namespace pagetest {
namespace {

class PageToDevice : public PageTest {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        openPage();
    }
};

struct LightCommandRow {
    const char* label;
    const wchar_t* widget;
    int colorIndex;
    int direction;
    int startDirection;  // what the device reported before the click
};

class LightCommands : public PageToDevice, public testing::WithParamInterface<LightCommandRow> {};

TEST_P(LightCommands, storeTheChoiceAndNotifyOnlyTheDevice)
{
    const LightCommandRow& row = GetParam();
    // The device first reports another choice: a write that changes nothing reaches nobody.
    LightDat start;
    start.color_index = 5;
    start.direction = row.startDirection;
    device->light.shape.setCurrentValue(start, 0, false, false);
    ASSERT_TRUE(processEventsUntil([&] { return widget(L"radio_mouse_color5")->isChecked(); }));
    command(row.widget);
    ASSERT_TRUE(device->light.waitArrivals(1));
    EXPECT_EQ(device->light.last().value.color_index, row.colorIndex);
    EXPECT_EQ(device->light.last().value.direction, row.direction);
    EXPECT_EQ(device->light.last().param, 0);
}

INSTANTIATE_TEST_SUITE_P(Radios, LightCommands,
                         testing::Values(LightCommandRow{"colour0", L"radio_mouse_color0", 0, 1, 1},
                                         LightCommandRow{"colour3", L"radio_mouse_color3", 3, 1, 1},
                                         LightCommandRow{"colour7", L"radio_mouse_color7", 7, 1, 1},
                                         LightCommandRow{"left", L"radio_direction_left", 5, 0, 1},
                                         LightCommandRow{"right", L"radio_direction_right", 5, 1, 0},
                                         LightCommandRow{"outward", L"radio_direction_fen", 5, 0, 1},
                                         LightCommandRow{"inward", L"radio_direction_he", 5, 1, 0}),
                         [](const auto& info) { return std::string(info.param.label); });

struct PresetRow {
    const char* label;
    const wchar_t* widget;
    size_t area;               // which area colour the preset writes
    RgbColor colour;
    bool showsComponents;      // the three edits show the colour
};

class LightPresets : public PageToDevice, public testing::WithParamInterface<PresetRow> {};

TEST_P(LightPresets, writeTheirAreaAndShowTheColour)
{
    const PresetRow& row = GetParam();
    const LightDat before = device->light.shape.current();
    const std::wstring redBefore = textOf(L"color_panel_r");
    const std::wstring greenBefore = textOf(L"color_panel_g");
    command(row.widget);
    ASSERT_TRUE(device->light.waitArrivals(1));
    const LightDat light = device->light.last().value;
    for (size_t area = 0; area < light.area_colors.size(); ++area) {
        if (area == row.area) {
            EXPECT_EQ(light.area_colors[area], row.colour) << "area " << area;
        } else {
            EXPECT_EQ(light.area_colors[area], before.area_colors[area]) << "area " << area;
        }
    }
    EXPECT_EQ(widget(L"color_panel_preview")->backgroundColor(),
              makeColor(row.colour.red, row.colour.green, row.colour.blue, 255));
    const std::wstring red = row.showsComponents ? std::to_wstring(row.colour.red) : redBefore;
    const std::wstring green = row.showsComponents ? std::to_wstring(row.colour.green) : greenBefore;
    EXPECT_EQ(textOf(L"color_panel_r"), red);
    EXPECT_EQ(textOf(L"color_panel_g"), green);
}

INSTANTIATE_TEST_SUITE_P(
    Presets, LightPresets,
    testing::Values(PresetRow{"panelGreen", L"mouse_color_panel_defcol2", 0, {0, 255, 0}, true},
                    PresetRow{"panelWhite", L"mouse_color_panel_defcol7", 0, {255, 255, 255}, true},
                    PresetRow{"area1Black", L"mouse_color_area1_defcol0", 0, {0, 0, 0}, false},
                    PresetRow{"area3Blue", L"mouse_color_area3_defcol3", 2, {0, 0, 255}, false},
                    PresetRow{"area3Cyan", L"mouse_color_area3_defcol6", 2, {0, 255, 255}, false},
                    PresetRow{"area4Yellow", L"mouse_color_area4_defcol4", 3, {255, 255, 0}, false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(PageToDevice, dpiPresetSetsTheStageColourWithFullOpacity)
{
    command(L"mouse_dpi_color_panel_defcol5");
    ASSERT_TRUE(device->dpi.waitArrivals(1));
    const DpiDat dpi = device->dpi.last().value;
    EXPECT_EQ((RgbColor{dpi.red, dpi.green, dpi.blue}), (RgbColor{255, 0, 255}));
    EXPECT_EQ(dpi.reserved, 255);
    EXPECT_EQ(textOf(L"mouse_dpi_color_panel_r"), L"255");
    EXPECT_EQ(textOf(L"mouse_dpi_color_panel_g"), L"0");
    EXPECT_EQ(textOf(L"mouse_dpi_color_panel_b"), L"255");
    EXPECT_EQ(widget(L"mouse_dpi_color_panel_preview")->backgroundColor(), makeColor(255, 0, 255, 255));
}

// A pad reports blue, green, red, alpha; the page stores and shows red, green, blue.
TEST_F(PageToDevice, padColoursArriveWithRedAndBlueExchanged)
{
    std::uint32_t picked = 0x80112233;  // alpha 0x80, red 0x11, green 0x22, blue 0x33
    widget<SSImage>(L"color_panel_pad")->funcProxy()->call(0, 1, 1, &picked);
    ASSERT_TRUE(device->light.waitArrivals(1));
    EXPECT_EQ(device->light.last().value.area_colors[0], (RgbColor{0x11, 0x22, 0x33}));
    EXPECT_EQ(textOf(L"color_panel_r"), L"17");
    EXPECT_EQ(textOf(L"color_panel_b"), L"51");

    widget<SSImage>(L"mouse_dpi_color_panel_pad")->funcProxy()->call(0, 1, 1, &picked);
    ASSERT_TRUE(device->dpi.waitArrivals(1));
    const DpiDat dpi = device->dpi.last().value;
    EXPECT_EQ((RgbColor{dpi.red, dpi.green, dpi.blue}), (RgbColor{0x11, 0x22, 0x33}));
    EXPECT_EQ(dpi.reserved, 0x80);
}

// A real click on the pad picks the colour drawn under the pointer.
TEST_F(PageToDevice, clickOnThePadPicksThePicturesColour)
{
    auto* pad = widget<SSImage>(L"mouse_dpi_color_panel_pad");
    ASSERT_NE(pad, nullptr);
    const QPoint point(10, 80);
    const std::uint32_t drawn = pad->colourAt(point);
    ASSERT_NE(drawn, 0u);
    host->resize(924, 520);
    pad->resize(256, 160);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(point), QPointF(pad->mapToGlobal(point)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(pad, &press);
    ASSERT_TRUE(device->dpi.waitArrivals(1));
    const DpiDat dpi = device->dpi.last().value;
    EXPECT_EQ(dpi.red, (drawn >> 16) & 0xFF);
    EXPECT_EQ(dpi.green, (drawn >> 8) & 0xFF);
    EXPECT_EQ(dpi.blue, drawn & 0xFF);
}

struct SliderRow {
    const char* label;
    const wchar_t* widget;
    int position;
};

class Sliders : public PageToDevice, public testing::WithParamInterface<SliderRow> {};

TEST_P(Sliders, storeThePosition)
{
    const SliderRow& row = GetParam();
    slide(row.widget, row.position);
    const std::wstring name = row.widget;
    if (name == L"bar_mouse_brightness" || name == L"bar_mouse_speed") {
        ASSERT_TRUE(device->light.waitArrivals(1));
        const LightDat light = device->light.last().value;
        EXPECT_EQ(name == L"bar_mouse_brightness" ? light.brightness : light.speed, row.position);
    } else if (name == L"bar_mouse_dpi_grade") {
        ASSERT_TRUE(device->dpi.waitArrivals(1));
        EXPECT_EQ(device->dpi.last().value.level, row.position);
    } else {
        ASSERT_TRUE(device->dpiBrightness.waitArrivals(1));
        EXPECT_EQ(device->dpiBrightness.last().value, row.position);
    }
}

INSTANTIATE_TEST_SUITE_P(Positions, Sliders,
                         testing::Values(SliderRow{"brightness", L"bar_mouse_brightness", 1},
                                         SliderRow{"speed", L"bar_mouse_speed", 4},
                                         SliderRow{"dpiLevel", L"bar_mouse_dpi_grade", 7},
                                         SliderRow{"dpiLevelBeyondTable", L"bar_mouse_dpi_grade", 13},
                                         SliderRow{"dpiBrightness", L"bar_mouse_dpi_brightness", 2}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(PageToDevice, dpiLevelShowsItsValueOnlyInsideTheTable)
{
    slide(L"bar_mouse_dpi_grade", 12);
    EXPECT_EQ(textOf(L"text_mouse_dpi_grade"), L"4800");
    slide(L"bar_mouse_dpi_grade", 13);
    ASSERT_TRUE(device->dpi.waitArrivals(2));
    EXPECT_EQ(device->dpi.last().value.level, 13);
    EXPECT_EQ(textOf(L"text_mouse_dpi_grade"), L"4800");
}

TEST_F(PageToDevice, layoutRangesLetEverySliderPositionBeValid)
{
    auto* level = widget<SSliderBar>(L"bar_mouse_dpi_grade");
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->minimum(), 0);
    EXPECT_EQ(static_cast<size_t>(level->maximum()), dpiValueTable.size() - 1);
}

struct ComboRow {
    const char* label;
    const wchar_t* widget;
    int index;
};

class Combos : public PageToDevice, public testing::WithParamInterface<ComboRow> {};

TEST_P(Combos, publishTheChoice)
{
    const ComboRow& row = GetParam();
    choose(row.widget, row.index);
    const std::wstring name = row.widget;
    if (name == L"cmb_profile") {
        ASSERT_TRUE(device->mode.waitArrivals(1));
        EXPECT_EQ(device->mode.last().value, row.index);
    } else if (name == L"cmb_mouse_dpi_index") {
        ASSERT_TRUE(device->dpiStage.waitArrivals(1));
        EXPECT_EQ(device->dpiStage.last().value, row.index);
    } else {
        ASSERT_TRUE(device->effectIndex.waitArrivals(1));
        EXPECT_EQ(device->effectIndex.last().value, row.index);
        EXPECT_EQ(device->effectIndex.last().param, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Choices, Combos,
                         testing::Values(ComboRow{"mode", L"cmb_profile", 2},
                                         ComboRow{"dpiStage", L"cmb_mouse_dpi_index", 5},
                                         ComboRow{"effect", L"cmb_light_mode_normal", 4}),
                         [](const auto& info) { return std::string(info.param.label); });

// The page's own effect write comes back with param 1: the groups follow, the combo is left alone.
TEST_F(PageToDevice, ownEffectChoiceUpdatesGroupsButNotTheCombo)
{
    auto* combo = widget<SComboBox>(L"cmb_light_mode_normal");
    ASSERT_NE(combo, nullptr);
    combo->setCurSel(3);
    choose(L"cmb_light_mode_normal", 5);
    ASSERT_TRUE(processEventsUntil([&] { return !widget(L"color_area_container")->isHidden(); }));
    EXPECT_EQ(combo->getCurSel(), 3);
}

TEST_F(PageToDevice, otherCommandsAreLeftToTheWindow)
{
    EventCmd event;
    event.nameFrom = L"btn_something_else";
    event.idFrom = 65536;
    EXPECT_FALSE(host->page.onEvent(&event));
    EXPECT_FALSE(event.handled);
    EventCBSelChange combo;
    combo.idFrom = 65586;
    EXPECT_FALSE(host->page.onEvent(&combo));
}

TEST_F(PageToDevice, restoreButtonIsMatchedByNameWhateverItsId)
{
    int asked = 0;
    host->page.setConfirmation([&](SHostWnd*, const std::wstring&, const std::wstring&) {
        ++asked;
        return IDCANCEL;
    });
    EventCmd event;
    event.nameFrom = L"btn_mouse_restore_factory";
    event.idFrom = 65647;  // a colour radio's id
    EXPECT_TRUE(host->page.onEvent(&event));
    EXPECT_TRUE(event.handled);
    EXPECT_EQ(asked, 1);
    settle();
    EXPECT_TRUE(device->light.arrivals().empty());
}

struct RestoreRow {
    const char* label;
    int answer;
    bool requested;
};

class FactoryRestore : public PageToDevice, public testing::WithParamInterface<RestoreRow> {};

TEST_P(FactoryRestore, asksFirstAndRequestsOnlyOnOk)
{
    std::wstring text;
    std::wstring caption;
    host->page.setConfirmation([&](SHostWnd* parent, const std::wstring& t, const std::wstring& c) {
        EXPECT_EQ(parent, host.get());
        text = t;
        caption = c;
        return GetParam().answer;
    });
    command(L"btn_mouse_restore_factory");
    EXPECT_EQ(text, L"All settings will be restored, are you sure you want to continue?");
    EXPECT_EQ(caption, L"Warning");
    if (GetParam().requested) {
        ASSERT_TRUE(device->factoryRestore.waitArrivals(1));
        EXPECT_EQ(device->factoryRestore.last().value, 1);
    } else {
        settle();
        EXPECT_TRUE(device->factoryRestore.arrivals().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, FactoryRestore,
                         testing::Values(RestoreRow{"ok", IDOK, true}, RestoreRow{"cancel", IDCANCEL, false},
                                         RestoreRow{"closed", -1, false}),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace pagetest
