#include "WidgetTestSupport.h"

#include "ui/widgets/SCheckBoxEx.h"
#include "ui/widgets/SRadioBoxEx.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace widgettest;

struct CheckProbe : SCheckBoxEx {
    using SCheckBoxEx::SCheckBoxEx;
    using SCheckBoxEx::textRect;
};
struct RadioProbe : SRadioBoxEx {
    using SRadioBoxEx::SRadioBoxEx;
    using SRadioBoxEx::textRect;
};

struct Attr {
    const wchar_t* name;
    const wchar_t* value;
};

struct TextCase {
    const char* label;
    std::vector<Attr> attributes;
    QPoint textTopLeft;
};

class TextOffsets : public WidgetsApp, public testing::WithParamInterface<TextCase> {
protected:
    template <class Probe>
    QPoint textTopLeftOf(const std::vector<Attr>& attributes)
    {
        addSkin(L"icon16", solidStrip(QSize(16, 10), stateColours(8)));
        Probe box(root.get());
        box.resize(100, 40);
        for (const Attr& a : attributes)
            EXPECT_EQ(box.setAttribute(a.name, a.value, true), AttrResult::Applied) << QString::fromWCharArray(a.name).toStdString();
        return box.textRect().topLeft();
    }
};

class CheckTextOffsets : public TextOffsets {};
class RadioTextOffsets : public TextOffsets {};

TEST_P(CheckTextOffsets, MoveTheTextByIconAndOffsets)
{
    EXPECT_EQ(textTopLeftOf<CheckProbe>(GetParam().attributes), GetParam().textTopLeft);
}

TEST_P(RadioTextOffsets, MoveTheTextByIconAndOffsets)
{
    EXPECT_EQ(textTopLeftOf<RadioProbe>(GetParam().attributes), GetParam().textTopLeft);
}

std::string caseName(const testing::TestParamInfo<TextCase>& info)
{
    return info.param.label;
}

// Left: icon x + icon width + text x. Top: icon y + text y.
INSTANTIATE_TEST_SUITE_P(Cases, CheckTextOffsets,
    testing::Values(
        TextCase{"IconAtFourTwoWithTextX3", {{L"iconSkin", L"icon16"}, {L"iconPos", L"4,2"}, {L"textX", L"3"}}, {23, 2}},
        TextCase{"NoIcon", {{L"textX", L"5"}, {L"textY", L"1"}}, {5, 1}},
        TextCase{"IconOnly", {{L"iconSkin", L"icon16"}}, {16, 0}},
        TextCase{"OnlyIconXGiven", {{L"iconSkin", L"icon16"}, {L"iconPos", L"7"}}, {23, 0}},
        TextCase{"HexOffsets", {{L"textX", L"0x10"}, {L"textY", L"0X2"}}, {16, 2}},
        TextCase{"NotANumberIsZero", {{L"textX", L"wide"}, {L"textY", L"4px"}}, {0, 4}},
        TextCase{"NamesInAnyCase", {{L"ICONSKIN", L"icon16"}, {L"iconpos", L"1,1"}, {L"TextY", L"2"}}, {17, 3}},
        TextCase{"MissingIconSkinHasNoWidth", {{L"iconSkin", L"nosuchskin"}, {L"iconPos", L"4,2"}}, {4, 2}}),
    caseName);

// Left as for the check box. Top: text y + 2 x icon y.
INSTANTIATE_TEST_SUITE_P(Cases, RadioTextOffsets,
    testing::Values(
        TextCase{"IconYThreeMovesTopBySix", {{L"iconSkin", L"icon16"}, {L"iconPos", L"0,3"}, {L"textY", L"0"}}, {16, 6}},
        TextCase{"AllOffsets", {{L"iconSkin", L"icon16"}, {L"iconPos", L"2,-1"}, {L"textX", L"1"}, {L"textY", L"4"}}, {19, 2}},
        TextCase{"NoIcon", {{L"iconPos", L"5,5"}, {L"textX", L"2"}}, {7, 10}}),
    caseName);

struct GravityCase {
    const char* label;
    const wchar_t* value;
    AttrResult result;
    int gravity; // after first setting "center" (1)
};

class RadioGravity : public WidgetsApp, public testing::WithParamInterface<GravityCase> {};

TEST_P(RadioGravity, AcceptsOnlyTheExactNames)
{
    SRadioBoxEx radio(root.get());
    ASSERT_EQ(radio.setAttribute(L"gravity", L"center", true), AttrResult::Applied);
    EXPECT_EQ(radio.setAttribute(L"gravity", GetParam().value, true), GetParam().result);
    EXPECT_EQ(radio.gravity(), GetParam().gravity);
}

INSTANTIATE_TEST_SUITE_P(Cases, RadioGravity,
    testing::Values(
        GravityCase{"Left", L"left", AttrResult::Applied, 0},
        GravityCase{"Top", L"top", AttrResult::Applied, 0},
        GravityCase{"Center", L"center", AttrResult::Applied, 1},
        GravityCase{"Right", L"right", AttrResult::Applied, 2},
        GravityCase{"Bottom", L"bottom", AttrResult::Applied, 2},
        GravityCase{"CapitalLeftRejected", L"Left", AttrResult::Rejected, 1},
        GravityCase{"UpperCaseRejected", L"BOTTOM", AttrResult::Rejected, 1},
        GravityCase{"SpacesRejected", L" left", AttrResult::Rejected, 1},
        GravityCase{"NumberRejected", L"2", AttrResult::Rejected, 1},
        GravityCase{"EmptyRejected", L"", AttrResult::Rejected, 1}),
    [](const testing::TestParamInfo<GravityCase>& info) { return std::string(info.param.label); });

using CheckRadioLayout = WidgetsApp;

TEST_F(CheckRadioLayout, RejectedGravityIsReportedAndTheTagsAnswerTheirClasses)
{
    const std::vector<LayoutIssue> issues =
        build("<radioex name='r' gravity='Left'/><checkex name='c'/>");
    ASSERT_EQ(issues.size(), 1u);
    EXPECT_TRUE(issues[0].error);
    EXPECT_TRUE(issues[0].message.contains(QStringLiteral("gravity")));
    SWindow* radio = root->findChildByName(L"r");
    ASSERT_TRUE(radio);
    EXPECT_TRUE(radio->isClass(L"radioex") && radio->isClass(L"radio") && radio->isClass(L"check"));
    EXPECT_FALSE(radio->isClass(L"checkex"));
    EXPECT_EQ(static_cast<SRadioBoxEx*>(radio)->gravity(), 0);
    SWindow* check = root->findChildByName(L"c");
    ASSERT_TRUE(check);
    EXPECT_TRUE(check->isClass(L"checkex") && check->isClass(L"check"));
    EXPECT_FALSE(check->isClass(L"radio"));
}

TEST_F(CheckRadioLayout, PreferredSizeIsTheSkinsOrThePlainWidgets)
{
    addSkin(L"bg", solidStrip(QSize(70, 24), stateColours(4)));
    SCheckBoxEx skinned(root.get());
    skinned.setAttribute(L"skin", L"bg", true);
    EXPECT_EQ(skinned.sizeHint(), QSize(70, 24));
    SRadioBoxEx radio(root.get());
    radio.setAttribute(L"skin", L"bg", true);
    EXPECT_EQ(radio.sizeHint(), QSize(70, 24));
    SCheckBoxEx bare(root.get());
    bare.setAttribute(L"skin", L"nosuchskin", true);
    EXPECT_EQ(bare.sizeHint(), bare.SWindow::sizeHint());
}

// Painting: the base skin's state in the widget's corner, the icon's state at its place.
struct PaintCase {
    const char* label;
    bool checked;
    bool hover;
    bool pushed;
    bool disabled;
    int backgroundState;
    int iconState;
};

class CheckPainting : public WidgetsApp, public testing::WithParamInterface<PaintCase> {};

TEST_P(CheckPainting, DrawsSkinAndIconInTheirStates)
{
    const std::vector<QColor> background = stateColours(4, 1);
    const std::vector<QColor> icon = stateColours(8, 2);
    addSkin(L"bg", solidStrip(QSize(60, 30), background));
    addSkin(L"icon", solidStrip(QSize(10, 10), icon));
    SCheckBoxEx box(root.get());
    box.setAttribute(L"skin", L"bg", true);
    box.setAttribute(L"iconSkin", L"icon", true);
    box.setAttribute(L"iconPos", L"4,2", true);
    box.resize(60, 30);
    const PaintCase& c = GetParam();
    box.setCheck(c.checked);
    if (c.hover)
        enter(box);
    if (c.pushed)
        press(box, QPoint(30, 15));
    if (c.disabled)
        box.enableWindow(false);
    const QImage image = picture(box, QSize(60, 30));
    EXPECT_EQ(hexAt(image, 50, 25), hex(background[static_cast<size_t>(c.backgroundState)]));
    EXPECT_EQ(hexAt(image, 4 + 5, 2 + 5), hex(icon[static_cast<size_t>(c.iconState)]));
    EXPECT_EQ(hexAt(image, 3, 7), hex(background[static_cast<size_t>(c.backgroundState)])) << "icon starts at x 4";
}

INSTANTIATE_TEST_SUITE_P(States, CheckPainting,
    testing::Values(
        PaintCase{"Normal", false, false, false, false, 0, 0},
        PaintCase{"Hover", false, true, false, false, 1, 1},
        PaintCase{"Pushed", false, true, true, false, 2, 2},
        PaintCase{"Disabled", false, false, false, true, 0, 3},
        PaintCase{"Checked", true, false, false, false, 3, 4},
        PaintCase{"CheckedHover", true, true, false, false, 1, 5},
        PaintCase{"CheckedPushed", true, true, true, false, 2, 6},
        PaintCase{"CheckedDisabled", true, false, false, true, 3, 7}),
    [](const testing::TestParamInfo<PaintCase>& info) { return std::string(info.param.label); });

using CheckIcon = WidgetsApp;

TEST_F(CheckIcon, IsNotDrawnWithoutTheBaseSkin)
{
    const std::vector<QColor> icon = stateColours(8, 2);
    addSkin(L"icon", solidStrip(QSize(10, 10), icon));
    SCheckBoxEx box(root.get());
    box.setAttribute(L"skin", L"nosuchskin", true);
    box.setAttribute(L"iconSkin", L"icon", true);
    const QImage image = picture(box, QSize(40, 20));
    EXPECT_EQ(qAlpha(image.pixel(5, 5)), 0);
}

struct RadioPaintCase {
    const char* label;
    int skinStates;
    bool checked;
    bool hover;
    bool disabled;
    int backgroundState;
    int iconState;
};

class RadioPainting : public WidgetsApp, public testing::WithParamInterface<RadioPaintCase> {};

TEST_P(RadioPainting, DrawsSkinAndCentredIconInTheirStates)
{
    const RadioPaintCase& c = GetParam();
    const std::vector<QColor> background = stateColours(c.skinStates, 3);
    const std::vector<QColor> icon = stateColours(8, 4);
    addSkin(L"bg", solidStrip(QSize(60, 30), background));
    addSkin(L"icon", solidStrip(QSize(10, 10), icon));
    SRadioBoxEx radio(root.get());
    radio.setAttribute(L"skin", L"bg", true);
    radio.setAttribute(L"iconSkin", L"icon", true);
    radio.setAttribute(L"iconPos", L"3,2", true);
    radio.setCheck(c.checked);
    if (c.hover)
        enter(radio);
    if (c.disabled)
        radio.enableWindow(false);
    const QImage image = picture(radio, QSize(60, 30));
    EXPECT_EQ(hexAt(image, 50, 3), hex(background[static_cast<size_t>(c.backgroundState)]));
    // Icon top: (30 - 10) / 2 + 2 = 12.
    EXPECT_EQ(hexAt(image, 3 + 5, 12), hex(icon[static_cast<size_t>(c.iconState)]));
    EXPECT_EQ(hexAt(image, 3 + 5, 21), hex(icon[static_cast<size_t>(c.iconState)]));
    EXPECT_EQ(hexAt(image, 3 + 5, 11), hex(background[static_cast<size_t>(c.backgroundState)]));
    EXPECT_EQ(hexAt(image, 3 + 5, 22), hex(background[static_cast<size_t>(c.backgroundState)]));
}

INSTANTIATE_TEST_SUITE_P(States, RadioPainting,
    testing::Values(
        RadioPaintCase{"Normal", 4, false, false, false, 0, 0},
        RadioPaintCase{"Hover", 4, false, true, false, 1, 1},
        RadioPaintCase{"Checked", 4, true, false, false, 2, 4},
        RadioPaintCase{"CheckedHover", 4, true, true, false, 2, 5},
        RadioPaintCase{"Disabled", 4, false, false, true, 3, 3},
        RadioPaintCase{"CheckedDisabled", 4, true, false, true, 3, 7},
        RadioPaintCase{"TwoStatesCheckedLowered", 2, true, false, false, 1, 4},
        RadioPaintCase{"TwoStatesDisabledLowered", 2, false, false, true, 1, 3},
        RadioPaintCase{"OneStateHoverStaysNormal", 1, false, true, false, 0, 1}),
    [](const testing::TestParamInfo<RadioPaintCase>& info) { return std::string(info.param.label); });

using RadioGravityPainting = WidgetsApp;

TEST_F(RadioGravityPainting, CenterDrawsTheSkinAtItsOwnSizeInTheMiddle)
{
    const std::vector<QColor> background = stateColours(4, 5);
    addSkin(L"bg", solidStrip(QSize(20, 10), background));
    SRadioBoxEx radio(root.get());
    radio.setAttribute(L"skin", L"bg", true);
    radio.setAttribute(L"gravity", L"center", true);
    const QImage centred = picture(radio, QSize(60, 30));
    EXPECT_EQ(qAlpha(centred.pixel(2, 2)), 0);
    EXPECT_EQ(hexAt(centred, 30, 15), hex(background[0]));
    EXPECT_EQ(qAlpha(centred.pixel(30, 8)), 0);
    radio.setAttribute(L"gravity", L"right");
    const QImage covering = picture(radio, QSize(60, 30));
    EXPECT_EQ(hexAt(covering, 30, 3), hex(background[0]));
}

} // namespace
