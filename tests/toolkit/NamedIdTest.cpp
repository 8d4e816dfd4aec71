#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "toolkit/AppNamedIds.h"
#include "toolkit/NamedIdRegistry.h"

namespace {

struct ExpectedId {
    const wchar_t* name;
    int id;
};

// The widget names in the order of their ids, as the layouts first use them.
const ExpectedId kInIdOrder[] = {
    {L"_name_start", 65535}, {L"title", 65536}, {L"btn_more", 65537}, {L"btn_min", 65538},
    {L"sync_light_dat", 65539}, {L"statever", 65540}, {L"btnMin", 65541}, {L"btnRestore", 65542},
    {L"btnCancel", 65543}, {L"text_recording_keys", 65544}, {L"tab_macro_mode_selection", 65545},
    {L"item_up", 65546}, {L"item_down", 65547}, {L"item_delete", 65548}, {L"item_clear", 65549},
    {L"groupDel", 65550}, {L"groupAdd", 65551}, {L"groupImport", 65552}, {L"groupExport", 65553},
    {L"macro_group", 65554}, {L"group_name", 65555}, {L"key_info", 65556}, {L"col1", 65557},
    {L"key_code", 65558}, {L"col2", 65559}, {L"key_name", 65560}, {L"col3", 65561}, {L"key_state", 65562},
    {L"col4", 65563}, {L"key_delay", 65564}, {L"edit_macro_repeat_times", 65565},
    {L"edit_macro_delay_time", 65566}, {L"chk_macro_realy_delay", 65567}, {L"chk_macro_fixed_delay", 65568},
    {L"chk_macro_no_delay", 65569}, {L"chk_macro_record", 65570}, {L"chk_single_record", 65571},
    {L"edit_single_key", 65572}, {L"cmb_media_keys", 65573}, {L"cmb_function_keys", 65574}, {L"btnOK", 65575},
    {L"btnDelete", 65576}, {L"msgtitle", 65577}, {L"msgicon", 65578}, {L"msgtext", 65579}, {L"btnSwitch", 65580},
    {L"button1st", 65581}, {L"button2nd", 65582}, {L"button3rd", 65583}, {L"tab_func_selection", 65584},
    {L"img_keyboard", 65585}, {L"cmb_light_mode_normal", 65586}, {L"tab_color_effect", 65587},
    {L"color_panel_container", 65588}, {L"color_panel_pad", 65589}, {L"color_panel_preview", 65590},
    {L"color_panel_r", 65591}, {L"color_panel_g", 65592}, {L"color_panel_b", 65593},
    {L"mouse_color_panel_defcol0", 65594}, {L"mouse_color_panel_defcol1", 65595},
    {L"mouse_color_panel_defcol2", 65596}, {L"mouse_color_panel_defcol3", 65597},
    {L"mouse_color_panel_defcol4", 65598}, {L"mouse_color_panel_defcol5", 65599},
    {L"mouse_color_panel_defcol6", 65600}, {L"mouse_color_panel_defcol7", 65601},
    {L"color_area_container", 65602}, {L"mouse_color_area1_defcol0", 65603},
    {L"mouse_color_area1_defcol1", 65604}, {L"mouse_color_area1_defcol2", 65605},
    {L"mouse_color_area1_defcol3", 65606}, {L"mouse_color_area1_defcol4", 65607},
    {L"mouse_color_area1_defcol5", 65608}, {L"mouse_color_area1_defcol6", 65609},
    {L"mouse_color_area1_defcol7", 65610}, {L"mouse_color_area2_defcol0", 65611},
    {L"mouse_color_area2_defcol1", 65612}, {L"mouse_color_area2_defcol2", 65613},
    {L"mouse_color_area2_defcol3", 65614}, {L"mouse_color_area2_defcol4", 65615},
    {L"mouse_color_area2_defcol5", 65616}, {L"mouse_color_area2_defcol6", 65617},
    {L"mouse_color_area2_defcol7", 65618}, {L"mouse_color_area3_defcol0", 65619},
    {L"mouse_color_area3_defcol1", 65620}, {L"mouse_color_area3_defcol2", 65621},
    {L"mouse_color_area3_defcol3", 65622}, {L"mouse_color_area3_defcol4", 65623},
    {L"mouse_color_area3_defcol5", 65624}, {L"mouse_color_area3_defcol6", 65625},
    {L"mouse_color_area3_defcol7", 65626}, {L"mouse_color_area4_defcol0", 65627},
    {L"mouse_color_area4_defcol1", 65628}, {L"mouse_color_area4_defcol2", 65629},
    {L"mouse_color_area4_defcol3", 65630}, {L"mouse_color_area4_defcol4", 65631},
    {L"mouse_color_area4_defcol5", 65632}, {L"mouse_color_area4_defcol6", 65633},
    {L"mouse_color_area4_defcol7", 65634}, {L"bar_mouse_dir_parent", 65635}, {L"gp_dir_left_right", 65636},
    {L"radio_direction_left", 65637}, {L"radio_direction_right", 65638}, {L"gp_dir_fen_he", 65639},
    {L"radio_direction_fen", 65640}, {L"radio_direction_he", 65641}, {L"bar_mouse_speed_parent", 65642},
    {L"bar_mouse_speed", 65643}, {L"bar_mouse_brightness_parent", 65644}, {L"bar_mouse_brightness", 65645},
    {L"gp_mouse_color_parent", 65646}, {L"radio_mouse_color0", 65647}, {L"radio_mouse_color1", 65648},
    {L"radio_mouse_color2", 65649}, {L"radio_mouse_color3", 65650}, {L"radio_mouse_color4", 65651},
    {L"radio_mouse_color5", 65652}, {L"radio_mouse_color6", 65653}, {L"radio_mouse_color7", 65654},
    {L"cmb_mouse_dpi_index", 65655}, {L"cmb_mouse_dpi_brightness", 65656}, {L"bar_mouse_dpi_brightness", 65657},
    {L"text_mouse_dpi_grade", 65658}, {L"bar_mouse_dpi_grade", 65659},
    {L"mouse_dpi_color_panel_container", 65660}, {L"mouse_dpi_color_panel_pad", 65661},
    {L"mouse_dpi_color_panel_defcol0", 65662}, {L"mouse_dpi_color_panel_defcol1", 65663},
    {L"mouse_dpi_color_panel_defcol2", 65664}, {L"mouse_dpi_color_panel_defcol3", 65665},
    {L"mouse_dpi_color_panel_defcol4", 65666}, {L"mouse_dpi_color_panel_defcol5", 65667},
    {L"mouse_dpi_color_panel_defcol6", 65668}, {L"mouse_dpi_color_panel_defcol7", 65669},
    {L"mouse_dpi_color_panel_preview", 65670}, {L"mouse_dpi_color_panel_r", 65671},
    {L"mouse_dpi_color_panel_g", 65672}, {L"mouse_dpi_color_panel_b", 65673},
    {L"btn_mouse_restore_factory", 65674}, {L"cmb_profile", 65675}, {L"version", 65676}
};

class AppNamedIds : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(registry.setTable(appNamedIdTable())); }
    NamedIdRegistry registry;
};

TEST_F(AppNamedIds, EveryRowIsFoundByHalving)
{
    ASSERT_EQ(registry.size(), std::size(kInIdOrder));
    for (const ExpectedId& row : kInIdOrder) {
        const auto id = registry.idOf(row.name);
        ASSERT_TRUE(id.has_value()) << row.name;
        EXPECT_EQ(*id, row.id);
        EXPECT_EQ(registry.nameOf(row.id), row.name);
    }
}

TEST_F(AppNamedIds, IdsRunWithoutGapsAfterTheStartRow)
{
    EXPECT_EQ(kInIdOrder[0].id, 65535);
    for (size_t i = 1; i < std::size(kInIdOrder); ++i) {
        EXPECT_EQ(kInIdOrder[i].id, 65535 + static_cast<int>(i));
    }
}

TEST_F(AppNamedIds, NamesFitTheirColumn)
{
    for (const NamedIdRow& row : appNamedIdTable()) {
        EXPECT_LE(std::wstring(row.name).size(), 51u);
    }
}

TEST_F(AppNamedIds, NamesOutsideTheTableMiss)
{
    // The caption buttons are matched by name only; near-misses in case and length.
    for (const wchar_t* name : {L"btn_close", L"btn_max", L"btn_restore", L"BTN_MORE", L"btn_mor", L"btn_moree", L"", L"zzz"}) {
        EXPECT_FALSE(registry.idOf(name).has_value());
    }
}

struct TableCase {
    const char* label;
    std::vector<NamedIdRow> rows;
    bool accepted;
};

class RegistryTables : public testing::TestWithParam<TableCase> {};

TEST_P(RegistryTables, AcceptsOnlyStrictlySortedTables)
{
    NamedIdRegistry registry;
    const std::vector<NamedIdRow> before = {{L"kept", 1}};
    ASSERT_TRUE(registry.setTable(before));
    EXPECT_EQ(registry.setTable(GetParam().rows), GetParam().accepted);
    if (GetParam().accepted) {
        for (const NamedIdRow& row : GetParam().rows) {
            EXPECT_EQ(registry.idOf(row.name), row.id);
        }
    } else {
        EXPECT_EQ(registry.idOf(L"kept"), 1) << "a refused table leaves the old one";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, RegistryTables,
    testing::Values(TableCase{"Empty", {}, true},
                    TableCase{"Sorted", {{L"A", 1}, {L"B_", 2}, {L"_a", 3}, {L"a", 4}}, true},
                    TableCase{"Unsorted", {{L"b", 1}, {L"a", 2}}, false},
                    TableCase{"Duplicate", {{L"a", 1}, {L"a", 2}}, false},
                    TableCase{"NullName", {{L"a", 1}, {nullptr, 2}}, false}),
    [](const testing::TestParamInfo<TableCase>& info) { return std::string(info.param.label); });

TEST(Utf16Order, ComparesCodeUnitsNotCodePoints)
{
    // U+FF21 is one unit above every surrogate; U+1F600 is a surrogate pair (0xD83D ...).
    const std::wstring bmpHigh(1, static_cast<wchar_t>(0xFF21));
    const std::wstring astral(1, static_cast<wchar_t>(0x1F600));
    EXPECT_LT(NamedIdRegistry::compareUtf16(astral, bmpHigh), 0);
    EXPECT_GT(NamedIdRegistry::compareUtf16(bmpHigh, astral), 0);
    EXPECT_LT(NamedIdRegistry::compareUtf16(L"ab", L"abc"), 0);
    EXPECT_EQ(NamedIdRegistry::compareUtf16(L"abc", L"abc"), 0);
    EXPECT_LT(NamedIdRegistry::compareUtf16(L"Z", L"_"), 0);
}

}  // namespace
