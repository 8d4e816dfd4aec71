#include "ToolkitTestSupport.h"

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

}  // namespace
