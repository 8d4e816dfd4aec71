#include "ToolkitTestSupport.h"

#include "toolkit/ThemePalette.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace toolkittest;

TEST_F(ToolkitApp, PackageDefinitionsLoadCleanly)
{
    addProjectPackage();
    // Every table, skin and image the definitions name is there and readable.
    for (const QString& line : app->diagnostics()) {
        ADD_FAILURE() << line.toStdString();
    }
    EXPECT_FALSE(app->namedString(1).empty()) << "the instance name";
    EXPECT_NE(app->namedString(1), app->namedString(0));
    EXPECT_TRUE(app->namedString(99).empty());
    EXPECT_TRUE(app->uiDefinitions().colorByName(QStringLiteral("accent")).has_value());
    for (const wchar_t* skin : {L"skin_button", L"skin_check", L"skin_tab_item", L"skin_slider_thumb", L"skin_row"}) {
        EXPECT_NE(app->skinPool().get(skin), nullptr) << skin;
    }
    EXPECT_EQ(app->skinPool().get(L"skin_check")->states(), 8);
}

TEST_F(ToolkitApp, SystemSkinsAreBuiltIn)
{
    for (const wchar_t* skin : {L"_sys.button", L"_sys.check", L"_sys.radio", L"_sys.edit", L"_sys.combobox",
                                L"_sys.slider.thumb", L"_sys.tab.item", L"_sys.header", L"_sys.msgicon.warning"}) {
        EXPECT_NE(app->skinPool().get(skin), nullptr) << skin;
    }
    EXPECT_TRUE(app->diagnostics().empty());
}

class Definitions : public ToolkitApp {
protected:
    void SetUp() override
    {
        ToolkitApp::SetUp();
        package.add(QStringLiteral("UIDEF:XML_INIT"), QStringLiteral("init.xml"),
                    R"(<uidef><skin src="values:skin"/><string src="values:string"/><color src="values:color"/></uidef>)");
        package.add(QStringLiteral("values:string"), QStringLiteral("string.xml"),
                    R"(<string><first value="one"/><instance value="my.instance"/></string>)");
        package.add(QStringLiteral("values:color"), QStringLiteral("color.xml"), R"(<color><accent value="#102030"/></color>)");
        package.add(QStringLiteral("values:skin"), QStringLiteral("skin.xml"),
                    "<skin>\n  <colors name=\"uses_named\" values=\"@color/accent;#ffffff\"/>\n"
                    "  <image name=\"missing_image\" src=\"img:none\"/>\n  <image name=\"bad_states\" src=\"img:dot\" states=\"0\"/>\n"
                    "  <gradient name=\"unknown_kind\"/>\n</skin>\n");
        package.add(QStringLiteral("img:dot"), QStringLiteral("dot.svg"),
                    R"(<svg xmlns="http://www.w3.org/2000/svg" width="4" height="4"><rect width="4" height="4"/></svg>)");
        package.add(QStringLiteral("SKIN:extra"), QStringLiteral("extra.xml"), R"(<skin><colors name="uses_named" values="#000000"/></skin>)");
        addPackage(package.commit());
    }
    TempPackage package;
};

TEST_F(Definitions, StringsAreReadByPositionAndName)
{
    ASSERT_TRUE(app->loadUiDefinitions(L"uidef:xml_init"));
    EXPECT_EQ(app->namedString(1), L"my.instance");
    EXPECT_EQ(app->uiDefinitions().expandString(QStringLiteral("@string/first")), QStringLiteral("one"));
    EXPECT_EQ(app->uiDefinitions().expandString(QStringLiteral("@string/nothing")), QStringLiteral("@string/nothing"));
    EXPECT_EQ(app->uiDefinitions().parseColor(L"@color/accent"), QColor(0x10, 0x20, 0x30));
}

TEST_F(Definitions, ProblemsAreReportedWithTheirLinesAndSkipped)
{
    ASSERT_TRUE(app->loadUiDefinitions(L"uidef:xml_init"));
    QStringList lines;
    for (const QString& d : app->diagnostics()) {
        lines << d;
    }
    const QString all = lines.join(QLatin1Char('\n'));
    EXPECT_TRUE(all.contains(QStringLiteral("skin.xml:3:"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("skin.xml:4:"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("skin.xml:5:"))) << all.toStdString();
    EXPECT_EQ(app->skinPool().get(L"missing_image"), nullptr);
    EXPECT_EQ(app->skinPool().get(L"unknown_kind"), nullptr);
}

TEST_F(Definitions, SkinTablesOfTheIndexComeAfterTheDefinitions)
{
    ASSERT_TRUE(app->loadUiDefinitions(L"uidef:xml_init"));
    const auto skin = app->skinPool().get(L"uses_named");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->states(), 1) << "SKIN:extra replaced the two-state skin of values:skin";
}

TEST_F(ToolkitApp, MissingDefinitionsFail)
{
    EXPECT_FALSE(app->loadUiDefinitions(L"uidef:xml_init"));
    EXPECT_TRUE(app->namedString(1).empty());
}

TEST_F(Definitions, ThemePaletteTakesOnlyTheNamedColoursThePackageHas)
{
    ASSERT_TRUE(app->loadUiDefinitions(L"uidef:xml_init"));
    QPalette base;
    base.setColor(QPalette::Window, QColor(1, 2, 3));
    const QPalette theme = themePalette(app->uiDefinitions(), base);
    EXPECT_EQ(theme.color(QPalette::Highlight), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(theme.color(QPalette::Window), QColor(1, 2, 3)) << "no \"bg\" colour in this package";
}

// WCAG contrast ratio of two opaque colours.
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What Qt draws itself in the project's colours stays readable.
TEST_F(ToolkitApp, ProjectThemeKeepsTextReadableOnItsBackgrounds)
{
    addProjectPackage();
    const QPalette theme = themePalette(app->uiDefinitions(), QPalette());
    const std::pair<QPalette::ColorRole, QPalette::ColorRole> pairs[] = {
        {QPalette::WindowText, QPalette::Window},     {QPalette::Text, QPalette::Base},
        {QPalette::ButtonText, QPalette::Button},     {QPalette::ToolTipText, QPalette::ToolTipBase},
        {QPalette::HighlightedText, QPalette::Highlight},
    };
    for (const auto& [text, background] : pairs) {
        EXPECT_GE(contrast(theme.color(text), theme.color(background)), 4.5)
            << theme.color(text).name().toStdString() << " on " << theme.color(background).name().toStdString();
    }
    EXPECT_LT(theme.color(QPalette::Window).lightness(), 64) << "a dark theme";
}

}  // namespace
