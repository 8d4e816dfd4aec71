// The page's layout in each of the ten light-effect states: the right groups
// show, every named widget of the page exists with its class, and nothing
// shown overlaps or spills out of its parent.

#include "PageFixture.h"

#include "toolkit/SComboBox.h"

#include <QRect>

#include <optional>

#include <string>

namespace pagetest {
namespace {

constexpr const wchar_t* kGroups[] = {
    L"bar_mouse_dir_parent",   L"gp_dir_left_right",           L"gp_dir_fen_he",         L"gp_mouse_color_parent",
    L"bar_mouse_speed_parent", L"bar_mouse_brightness_parent", L"color_panel_container", L"color_area_container",
};

struct EffectRow {
    int effect;
    const char* shown;  // one character per group of kGroups: 1 shown, 0 hidden
};

class EffectStates : public PageTest, public testing::WithParamInterface<EffectRow> {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        openPage();
        host->resize(924, 520);
        host->show();
    }

    void showEffect(int effect)
    {
        device->effectIndex.shape.setCurrentValue(effect, 0, false, false);
        ASSERT_TRUE(processEventsUntil([&] { return visibilityPattern() == GetParam().shown; }))
            << "shown: " << visibilityPattern();
    }

    std::string visibilityPattern() const
    {
        std::string pattern;
        for (const wchar_t* name : kGroups) {
            const SWindow* group = host->findChildByName(name);
            pattern += group == nullptr ? '?' : (group->isHidden() ? '0' : '1');
        }
        return pattern;
    }
};

TEST_P(EffectStates, showTheirGroups) { showEffect(GetParam().effect); }

// Shown widgets stay inside their parents and siblings do not cover each other.
TEST_P(EffectStates, shownWidgetsDoNotOverlap)
{
    showEffect(GetParam().effect);
    QCoreApplication::processEvents();
    host->root()->forEachDescendant([](SWindow& parent) {
        if (!parent.isVisible()) {
            return;
        }
        std::vector<SWindow*> shown;
        for (SWindow* child : parent.childWindows()) {
            if (child->isVisible()) {
                shown.push_back(child);
            }
        }
        const QRect inside(QPoint(0, 0), parent.size());
        for (size_t i = 0; i < shown.size(); ++i) {
            const QRect a = shown[i]->geometry();
            EXPECT_TRUE(inside.contains(a)) << QString::fromStdWString(shown[i]->name()).toStdString() << " leaves "
                                            << QString::fromStdWString(parent.name()).toStdString();
            for (size_t j = i + 1; j < shown.size(); ++j) {
                EXPECT_FALSE(a.intersects(shown[j]->geometry()))
                    << QString::fromStdWString(shown[i]->name()).toStdString() << " covers "
                    << QString::fromStdWString(shown[j]->name()).toStdString() << " in "
                    << QString::fromStdWString(parent.name()).toStdString();
            }
        }
    });
}

INSTANTIATE_TEST_SUITE_P(Effects, EffectStates,
                         testing::Values(EffectRow{0, "11001100"}, EffectRow{1, "01000110"}, EffectRow{2, "00111100"},
                                         EffectRow{3, "00111100"}, EffectRow{4, "00101100"}, EffectRow{5, "01000101"},
                                         EffectRow{6, "00111100"}, EffectRow{7, "00111100"}, EffectRow{8, "10101100"},
                                         EffectRow{9, "00101100"}),
                         [](const auto& info) { return "effect" + std::to_string(info.param.effect); });

class PageLayout : public PageTest {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        openPage();
    }
};

TEST_F(PageLayout, effectOutsideTheTenChangesNoGroup)
{
    device->effectIndex.shape.setCurrentValue(5, 0, false, false);
    SWindow* area = widget(L"color_area_container");
    ASSERT_TRUE(processEventsUntil([&] { return !area->isHidden(); }));
    device->effectIndex.shape.setCurrentValue(10, 0, false, false);
    device->effectIndex.shape.setCurrentValue(-1, 0, false, false);
    settle();
    EXPECT_FALSE(area->isHidden());
    EXPECT_TRUE(widget(L"gp_dir_fen_he")->isHidden());
}

struct NamedRow {
    const wchar_t* name;
    const wchar_t* classTag;
};

// Every widget the page looks up, with the class it must have.
TEST_F(PageLayout, everyNamedWidgetExistsWithItsClass)
{
    std::vector<NamedRow> rows = {
        {L"img_keyboard", L"cbimg"},
        {L"cmb_profile", L"combobox"},
        {L"cmb_light_mode_normal", L"combobox"},
        {L"cmb_mouse_dpi_index", L"combobox"},
        {L"bar_mouse_brightness", L"sliderbar"},
        {L"bar_mouse_speed", L"sliderbar"},
        {L"bar_mouse_dpi_grade", L"sliderbar"},
        {L"bar_mouse_dpi_brightness", L"sliderbar"},
        {L"text_mouse_dpi_grade", L"text"},
        {L"color_panel_pad", L"stimage"},
        {L"color_panel_preview", L"window"},
        {L"color_panel_r", L"edit"},
        {L"color_panel_g", L"edit"},
        {L"color_panel_b", L"edit"},
        {L"mouse_dpi_color_panel_pad", L"stimage"},
        {L"mouse_dpi_color_panel_preview", L"window"},
        {L"mouse_dpi_color_panel_r", L"edit"},
        {L"mouse_dpi_color_panel_g", L"edit"},
        {L"mouse_dpi_color_panel_b", L"edit"},
        {L"mouse_dpi_color_panel_container", L"window"},
        {L"btn_mouse_restore_factory", L"window"},
        {L"radio_direction_left", L"radio"},
        {L"radio_direction_right", L"radio"},
        {L"radio_direction_fen", L"radio"},
        {L"radio_direction_he", L"radio"},
    };
    for (const wchar_t* group : kGroups) {
        rows.push_back({group, L"window"});
    }
    std::vector<std::wstring> generated;
    for (int i = 0; i < 8; ++i) {
        generated.push_back(L"radio_mouse_color" + std::to_wstring(i));
        generated.push_back(L"mouse_color_panel_defcol" + std::to_wstring(i));
        generated.push_back(L"mouse_dpi_color_panel_defcol" + std::to_wstring(i));
        for (int area = 1; area <= 4; ++area) {
            generated.push_back(L"mouse_color_area" + std::to_wstring(area) + L"_defcol" + std::to_wstring(i));
        }
    }
    for (const std::wstring& name : generated) {
        rows.push_back({name.c_str(), name.starts_with(L"radio") ? L"radio" : L"window"});
    }
    for (const NamedRow& row : rows) {
        const SWindow* found = host->findChildByName(row.name, row.classTag);
        EXPECT_NE(found, nullptr) << QString::fromStdWString(row.name).toStdString();
        if (found != nullptr) {
            EXPECT_EQ(std::optional<int32_t>(found->id()), app->namedIds().idOf(row.name))
                << QString::fromStdWString(row.name).toStdString();
        }
    }
}

TEST_F(PageLayout, comboBoxesOfferThreeModesTenEffectsEightStages)
{
    const struct {
        const wchar_t* name;
        int count;
    } rows[] = {{L"cmb_profile", 3}, {L"cmb_light_mode_normal", 10}, {L"cmb_mouse_dpi_index", 8}};
    for (const auto& row : rows) {
        auto* combo = host->findChildByName<SComboBox>(row.name);
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->getCount(), row.count) << QString::fromStdWString(row.name).toStdString();
    }
}

}  // namespace
}  // namespace pagetest
