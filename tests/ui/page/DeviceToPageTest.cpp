// What the page shows of the values the device side publishes.

#include "PageFixture.h"

#include "toolkit/SComboBox.h"
#include "toolkit/SSliderBar.h"

#include <string>

namespace pagetest {
namespace {

class DeviceToPage : public PageTest {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        openPage();
    }

    bool waitCombo(const wchar_t* name, int selection)
    {
        auto* combo = widget<SComboBox>(name);
        return combo && processEventsUntil([&] { return combo->getCurSel() == selection; });
    }
    bool checked(const wchar_t* name) { return widget(name)->isChecked(); }
};

TEST_F(DeviceToPage, comboBoxesFollowModeStageAndEffect)
{
    device->mode.shape.setCurrentValue(2, 0, false, false);
    device->dpiStage.shape.setCurrentValue(6, 0, false, false);
    device->effectIndex.shape.setCurrentValue(8, 0, false, false);
    EXPECT_TRUE(waitCombo(L"cmb_profile", 2));
    EXPECT_TRUE(waitCombo(L"cmb_mouse_dpi_index", 6));
    EXPECT_TRUE(waitCombo(L"cmb_light_mode_normal", 8));
}

TEST_F(DeviceToPage, lightSetsRadiosAndSliders)
{
    LightDat light;
    light.color_index = 4;
    light.direction = 1;
    light.brightness = 1;
    light.speed = 3;
    device->light.shape.setCurrentValue(light, 0, false, false);
    auto* speed = widget<SSliderBar>(L"bar_mouse_speed");
    ASSERT_TRUE(processEventsUntil([&] { return speed->getValue() == 3; }));
    EXPECT_EQ(widget<SSliderBar>(L"bar_mouse_brightness")->getValue(), 1);
    for (int i = 0; i < 7; ++i) {
        const std::wstring name = L"radio_mouse_color" + std::to_wstring(i);
        EXPECT_EQ(checked(name.c_str()), i == 4) << i;
    }
    EXPECT_FALSE(checked(L"radio_direction_left"));
    EXPECT_TRUE(checked(L"radio_direction_right"));
    EXPECT_FALSE(checked(L"radio_direction_fen"));
    EXPECT_TRUE(checked(L"radio_direction_he"));
}

// Colour 7 is beyond the seven radios the page sets: all seven go off, the eighth keeps its state.
TEST_F(DeviceToPage, colourSevenClearsTheSevenRadiosAndLeavesTheEighth)
{
    widget(L"radio_mouse_color7")->setCheck(true);
    widget(L"radio_mouse_color2")->setCheck(true);
    LightDat light;
    light.color_index = 7;
    device->light.shape.setCurrentValue(light, 0, false, false);
    ASSERT_TRUE(processEventsUntil([&] { return !checked(L"radio_mouse_color2"); }));
    for (int i = 0; i < 7; ++i) {
        const std::wstring name = L"radio_mouse_color" + std::to_wstring(i);
        EXPECT_FALSE(checked(name.c_str())) << i;
    }
    EXPECT_TRUE(checked(L"radio_mouse_color7"));
}

TEST_F(DeviceToPage, dpiShowsLevelValueAndStageColourInTheDpiPanel)
{
    const std::wstring lightRed = textOf(L"color_panel_r");
    const SColorRef lightPreview = widget(L"color_panel_preview")->backgroundColor();
    DpiDat dpi;
    dpi.level = 5;
    dpi.red = 10;
    dpi.green = 20;
    dpi.blue = 30;
    device->dpi.shape.setCurrentValue(dpi, 0, false, false);
    ASSERT_TRUE(processEventsUntil([&] { return textOf(L"text_mouse_dpi_grade") == L"2000"; }));
    EXPECT_EQ(widget<SSliderBar>(L"bar_mouse_dpi_grade")->getValue(), 5);
    EXPECT_EQ(textOf(L"mouse_dpi_color_panel_r"), L"10");
    EXPECT_EQ(textOf(L"mouse_dpi_color_panel_g"), L"20");
    EXPECT_EQ(textOf(L"mouse_dpi_color_panel_b"), L"30");
    EXPECT_EQ(widget(L"mouse_dpi_color_panel_preview")->backgroundColor(), makeColor(10, 20, 30, 255));
    // The light panel keeps the light's colour.
    EXPECT_EQ(textOf(L"color_panel_r"), lightRed);
    EXPECT_EQ(widget(L"color_panel_preview")->backgroundColor(), lightPreview);
}

TEST_F(DeviceToPage, dpiLevelOutsideTheTableLeavesTheValueText)
{
    DpiDat dpi;
    dpi.level = 3;
    device->dpi.shape.setCurrentValue(dpi, 0, false, false);
    ASSERT_TRUE(processEventsUntil([&] { return textOf(L"text_mouse_dpi_grade") == L"1200"; }));
    dpi.level = 20;
    device->dpi.shape.setCurrentValue(dpi, 0, false, false);
    auto* bar = widget<SSliderBar>(L"bar_mouse_dpi_grade");
    processEventsUntil([&] { return bar->getValue() != 3; }, std::chrono::milliseconds(300));
    EXPECT_EQ(textOf(L"text_mouse_dpi_grade"), L"1200");
}

TEST_F(DeviceToPage, statusBytesMarkTheAssignedButtons)
{
    auto* picture = widget<CoordButtonImage>(L"img_keyboard");
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->items().size(), 8u);
    picture->setItemSelected(7, true);
    const unsigned char status[6] = {1, 0, 0x20, 0, 0, 9};
    device->status.shape.setArray(status, 6, 0, false, false);
    ASSERT_TRUE(processEventsUntil([&] { return picture->items().at(0).selected; }));
    for (const auto& [id, item] : picture->items()) {
        EXPECT_EQ(item.selected, id == 0 || id == 2 || id == 5) << "button " << id;
    }
}

}  // namespace
}  // namespace pagetest
