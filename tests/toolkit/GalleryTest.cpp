#include "ToolkitTestSupport.h"

#include "toolkit/SButton.h"
#include "toolkit/SCheckBox.h"
#include "toolkit/SComboBox.h"
#include "toolkit/SEdit.h"
#include "toolkit/SHostWnd.h"
#include "toolkit/SListView.h"
#include "toolkit/SMcListView.h"
#include "toolkit/SRadioBox.h"
#include "toolkit/SSliderBar.h"
#include "toolkit/STabCtrl.h"
#include "toolkit/SText.h"

#include <QAbstractItemView>
#include <QComboBox>

#include <string>

namespace {

using namespace toolkittest;

class Gallery : public ToolkitApp {
protected:
    void SetUp() override
    {
        ToolkitApp::SetUp();
        addProjectPackage();
        host = std::make_unique<SHostWnd>(L"LAYOUT:gallery");
        ASSERT_TRUE(host->createWindow()) << host->layoutErrorText().toStdString();
    }
    void TearDown() override
    {
        host.reset();
        ToolkitApp::TearDown();
    }
    std::unique_ptr<SHostWnd> host;
};

struct GalleryWidget {
    const wchar_t* name;
    const wchar_t* tag;  // the class it was built as
    int id;              // from the named-ID table or the layout's "id"
};

// One widget of every class the gallery uses; the last rows come from the included part.
const GalleryWidget kGalleryWidgets[] = {
    {L"title", L"text", 65536},
    {L"btn_more", L"imgbtn", 65537},
    {L"btn_min", L"imgbtn", 65538},
    {L"btn_apply", L"button", 9001},
    {L"btn_reset", L"button", 9002},
    {L"chk_macro_record", L"check", 65570},
    {L"gp_dir_left_right", L"window", 65636},
    {L"radio_direction_left", L"radio", 65637},
    {L"radio_direction_right", L"radio", 65638},
    {L"edit_macro_repeat_times", L"edit", 65565},
    {L"cmb_profile", L"combobox", 65675},
    {L"bar_mouse_speed", L"sliderbar", 65643},
    {L"tab_macro_mode_selection", L"tabctrl", 65545},
    {L"macro_group", L"listview", 65554},
    {L"key_info", L"mclistview", 65556},
    {L"color_panel_preview", L"window", 65590},
    {L"statever", L"text", 65540},
};

class GalleryLookup : public Gallery, public testing::WithParamInterface<GalleryWidget> {};

TEST_P(GalleryLookup, FindsTheWidgetByNameIdAndClass)
{
    const GalleryWidget& w = GetParam();
    SWindow* byName = host->findChildByName(w.name);
    ASSERT_NE(byName, nullptr);
    EXPECT_STREQ(byName->classTag(), w.tag);
    EXPECT_EQ(byName->id(), w.id);
    EXPECT_EQ(host->findChildById(w.id), byName);
    EXPECT_EQ(host->findChildByName(w.name, w.tag), byName);
    EXPECT_EQ(host->findChildById(w.id, w.tag), byName);
    EXPECT_TRUE(byName->isClass(L"window"));
    // Lookup also works below any ancestor, not only from the host.
    EXPECT_EQ(host->root()->findChildByName(w.name), byName);
}

INSTANTIATE_TEST_SUITE_P(Widgets, GalleryLookup, testing::ValuesIn(kGalleryWidgets),
                         [](const testing::TestParamInfo<GalleryWidget>& info) {
                             return QString::fromWCharArray(info.param.name).toStdString();
                         });

struct Miss {
    const char* label;
    const wchar_t* name;
    int id;
    const wchar_t* tag;
};

class GalleryMisses : public Gallery, public testing::WithParamInterface<Miss> {};

TEST_P(GalleryMisses, YieldNoWidget)
{
    const Miss& m = GetParam();
    if (m.name) {
        EXPECT_EQ(host->findChildByName(m.name, m.tag ? m.tag : L""), nullptr);
    } else {
        EXPECT_EQ(host->findChildById(m.id, m.tag ? m.tag : L""), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, GalleryMisses,
    testing::Values(Miss{"UnknownName", L"no_such_widget", 0, nullptr},
                    Miss{"NameInOtherCase", L"BTN_MORE", 0, nullptr},
                    Miss{"EmptyName", L"", 0, nullptr},
                    Miss{"NameOfOtherClass", L"btn_more", 0, L"edit"},
                    Miss{"TextIsNoButton", L"title", 0, L"button"},
                    Miss{"UnusedId", nullptr, 65600, nullptr},
                    Miss{"IdZeroOfUnnamedWidgets", nullptr, 0, nullptr},
                    Miss{"IdOfOtherClass", nullptr, 65643, L"combobox"}),
    [](const testing::TestParamInfo<Miss>& info) { return std::string(info.param.label); });

struct ClassAnswer {
    const wchar_t* name;
    const wchar_t* askedTag;
    bool answer;
};

class GalleryClasses : public Gallery, public testing::WithParamInterface<ClassAnswer> {};

TEST_P(GalleryClasses, AnswerForTheirOwnTagAndTheirBases)
{
    SWindow* w = host->findChildByName(GetParam().name);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->isClass(GetParam().askedTag), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(Classes, GalleryClasses,
                         testing::Values(ClassAnswer{L"btn_more", L"imgbtn", true},
                                         ClassAnswer{L"btn_more", L"button", true},
                                         ClassAnswer{L"btn_apply", L"imgbtn", false},
                                         ClassAnswer{L"radio_direction_left", L"check", true},
                                         ClassAnswer{L"chk_macro_record", L"radio", false},
                                         ClassAnswer{L"key_info", L"listview", true},
                                         ClassAnswer{L"macro_group", L"mclistview", false},
                                         ClassAnswer{L"title", L"edit", false}));

TEST_F(Gallery, TypedLookupGivesTheClass)
{
    EXPECT_NE(host->findChildByName<SSliderBar>(L"bar_mouse_speed"), nullptr);
    EXPECT_EQ(host->findChildByName<SComboBox>(L"bar_mouse_speed"), nullptr);
    auto* tab = host->findChildById<STabCtrl>(65545);
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->getPageCount(), 2);
    EXPECT_EQ(tab->getCurSel(), 0);
}

TEST_F(Gallery, LayoutValuesReachTheWidgets)
{
    auto* combo = host->findChildByName<SComboBox>(L"cmb_profile");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->getCount(), 3);
    EXPECT_EQ(combo->getCurSel(), 0);
    EXPECT_EQ(combo->getItemText(2), L"Mode 3");
    EXPECT_EQ(combo->getItemData(1), 1);

    auto* slider = host->findChildByName<SSliderBar>(L"bar_mouse_speed");
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->minimum(), 0);
    EXPECT_EQ(slider->maximum(), 4);
    EXPECT_EQ(slider->getValue(), 2);

    EXPECT_TRUE(host->findChildByName(L"radio_direction_left")->isChecked());
    EXPECT_FALSE(host->findChildByName(L"radio_direction_right")->isChecked());
    EXPECT_EQ(host->findChildByName(L"edit_macro_repeat_times")->windowText(), L"1");
    EXPECT_EQ(host->findChildByName(L"statever")->windowText(), L"version: v0102");
    EXPECT_EQ(host->windowTitle(), QStringLiteral("Widget gallery"));
    EXPECT_NE(host->findChildByName(L"btn_more")->skin(), nullptr);
}

TEST_F(Gallery, LaysOutInsideTheWindowWithoutOverlaps)
{
    host->show();
    ASSERT_TRUE(waitUntil([&] { return host->isVisible(); }));
    const QRect inside = host->rect();
    // Siblings of a box never overlap and every visible widget stays inside the window.
    host->root()->forEachDescendant([&](SWindow& w) {
        if (!w.isVisible() || w.isClass(L"listrow")) {
            return;
        }
        const QRect global(w.mapTo(host.get(), QPoint(0, 0)), w.size());
        EXPECT_TRUE(inside.contains(global)) << QString::fromStdWString(w.name()).toStdString();
    });
    const SWindow* controls = host->findChildByName(L"controls");
    ASSERT_NE(controls, nullptr);
    EXPECT_EQ(controls->width(), 330);
    const auto siblings = controls->childWindows();
    for (size_t i = 1; i < siblings.size(); ++i) {
        EXPECT_GE(siblings[i]->geometry().top(), siblings[i - 1]->geometry().bottom());
    }
}

TEST_F(Gallery, ComboListTakesTheColoursItStandsOn)
{
    host->show();
    auto* inner = host->findChildByName(L"cmb_profile")->findChild<QComboBox*>();
    ASSERT_NE(inner, nullptr);
    inner->showPopup();
    const QPalette list = inner->view()->palette();
    EXPECT_EQ(list.color(QPalette::Base), QColor(0x13, 0x16, 0x1b)) << "the window's background";
    EXPECT_EQ(list.color(QPalette::Text), QColor(0xe8, 0xeb, 0xf0)) << "the window's text colour";
    inner->hidePopup();
}

TEST_F(Gallery, PaintsWithoutErrors)
{
    host->show();
    const QImage image = host->grab().toImage();
    ASSERT_FALSE(image.isNull());
    // The dark background colour of the layout fills the corner.
    EXPECT_EQ(image.pixelColor(2, image.height() - 3), QColor(0x13, 0x16, 0x1b));
}

}  // namespace
