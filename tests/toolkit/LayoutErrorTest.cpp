#include "ToolkitTestSupport.h"

#include "toolkit/SHostWnd.h"
#include "toolkit/STabCtrl.h"

#include <string>

namespace {

using namespace toolkittest;

struct BadLayout {
    const char* label;
    const char* xml;         // the layout "LAYOUT:bad" (file bad.xml)
    const char* where;       // expected "file:line" of the problem
    const char* mentioning;  // a word the message carries
};

class BadLayouts : public ToolkitApp, public testing::WithParamInterface<BadLayout> {};

TEST_P(BadLayouts, AreErrorsWithFileAndLine)
{
    TempPackage package;
    package.add(QStringLiteral("LAYOUT:bad"), QStringLiteral("bad.xml"), GetParam().xml);
    package.add(QStringLiteral("LAYOUT:part"), QStringLiteral("part.xml"), "<layout>\n  <text/>\n  <txet/>\n</layout>\n");
    package.add(QStringLiteral("LAYOUT:loop"), QStringLiteral("loop.xml"), "<layout>\n  <include src=\"LAYOUT:loop\"/>\n</layout>\n");
    package.add(QStringLiteral("LAYOUT:hostpart"), QStringLiteral("hostpart.xml"), "<host/>\n");
    addPackage(package.commit());
    SHostWnd host(L"LAYOUT:bad");
    EXPECT_FALSE(host.createWindow());
    EXPECT_FALSE(host.isWindow());
    const QString errors = host.layoutErrorText();
    EXPECT_TRUE(errors.contains(QString::fromUtf8(GetParam().where) + QLatin1Char(':'))) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QString::fromUtf8(GetParam().mentioning))) << errors.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, BadLayouts,
    testing::Values(
        BadLayout{"UnknownElement", "<host>\n  <text/>\n  <buton name=\"b\"/>\n</host>\n", "bad.xml:3", "<buton>"},
        BadLayout{"UnknownAttribute", "<host>\n\n  <button name=\"b\" colour=\"#fff\"/>\n</host>\n", "bad.xml:3", "colour"},
        BadLayout{"BadValue", "<host>\n  <sliderbar min=\"low\"/>\n</host>\n", "bad.xml:2", "low"},
        BadLayout{"BadColour", "<host>\n  <window\n     colorBkgnd=\"#12345\"/>\n</host>\n", "bad.xml:2", "colorBkgnd"},
        BadLayout{"UnknownNamedColour", "<host>\n  <text colorText=\"@color/nothing\"/>\n</host>\n", "bad.xml:2", "colorText"},
        BadLayout{"BadHostAttribute", "<host size=\"wide\">\n</host>\n", "bad.xml:1", "size"},
        BadLayout{"UnknownHostAttribute", "<host\n  sise=\"1,1\">\n</host>\n", "bad.xml:1", "sise"},
        BadLayout{"WrongRoot", "<layout/>\n", "bad.xml:1", "<host>"},
        BadLayout{"MalformedXml", "<host>\n  <text>\n</host>\n", "bad.xml:3", "bad.xml"},
        BadLayout{"ErrorInsideAnInclude", "<host>\n  <include src=\"LAYOUT:part\"/>\n</host>\n", "part.xml:3", "<txet>"},
        BadLayout{"IncludeOfAMissingLayout", "<host>\n  <include src=\"LAYOUT:none\"/>\n</host>\n", "bad.xml:2", "none"},
        BadLayout{"IncludeOfAHostLayout", "<host>\n  <include src=\"LAYOUT:hostpart\"/>\n</host>\n", "bad.xml:2", "<layout>"},
        BadLayout{"IncludeLoop", "<host>\n  <include src=\"LAYOUT:loop\"/>\n</host>\n", "loop.xml:2", "includes itself"},
        BadLayout{"StretchInAPositionLayout", "<host layout=\"pos\">\n  <stretch/>\n</host>\n", "bad.xml:2", "stretch"},
        BadLayout{"ComboItemAttribute", "<host>\n  <combobox>\n    <item txt=\"a\"/>\n  </combobox>\n</host>\n", "bad.xml:3", "txt"},
        BadLayout{"ErrorInARowTemplate",
                  "<host>\n  <listview>\n    <template height=\"20\">\n      <edit nmae=\"x\"/>\n    </template>\n  </listview>\n</host>\n",
                  "bad.xml:4", "nmae"},
        BadLayout{"UnknownHeaderElement", "<host>\n  <mclistview>\n    <header><column/></header>\n  </mclistview>\n</host>\n",
                  "bad.xml:3", "<column>"}),
    [](const testing::TestParamInfo<BadLayout>& info) { return std::string(info.param.label); });

TEST_F(ToolkitApp, TabControlSkipsChildrenThatAreNoPagesWithAWarning)
{
    TempPackage package;
    package.add(QStringLiteral("LAYOUT:tabs"), QStringLiteral("tabs.xml"),
                "<host>\n  <tabctrl name=\"tab\">\n    <page title=\"a\"/>\n    <text name=\"stray\"/>\n  </tabctrl>\n</host>\n");
    addPackage(package.commit());
    SHostWnd host(L"LAYOUT:tabs");
    ASSERT_TRUE(host.createWindow()) << host.layoutErrorText().toStdString();
    EXPECT_EQ(host.findChildByName<STabCtrl>(L"tab")->getPageCount(), 1);
    EXPECT_EQ(host.findChildByName(L"stray"), nullptr);
    ASSERT_EQ(host.layoutIssues().size(), 1u);
    EXPECT_FALSE(host.layoutIssues()[0].error);
    EXPECT_TRUE(host.layoutIssues()[0].where.endsWith(QStringLiteral("tabs.xml:4")));
}

// A tab control whose pages are another class: the tag decides.
class PagesOfTwo : public STabPage {
    MOUSECFG_WIDGET_CLASS(STabPage, L"page2")
public:
    using STabPage::STabPage;
};
class TabsOfTwo : public STabCtrl {
    MOUSECFG_WIDGET_CLASS(STabCtrl, L"tabctrl2")
public:
    using STabCtrl::STabCtrl;

protected:
    std::wstring_view pageTag() const override { return L"page2"; }
};

TEST_F(ToolkitApp, DerivedTabControlTakesOnlyItsOwnPageTag)
{
    EXPECT_TRUE(app->registerWindowClass<PagesOfTwo>());
    EXPECT_TRUE(app->registerWindowClass<TabsOfTwo>());
    TempPackage package;
    package.add(QStringLiteral("LAYOUT:tabs"), QStringLiteral("tabs.xml"),
                R"(<host><tabctrl2 name="a"><page2/><page2/><page/></tabctrl2><tabctrl2 name="b"><page/></tabctrl2></host>)");
    addPackage(package.commit());
    SHostWnd host(L"LAYOUT:tabs");
    ASSERT_TRUE(host.createWindow()) << host.layoutErrorText().toStdString();
    EXPECT_EQ(host.findChildByName<TabsOfTwo>(L"a")->getPageCount(), 2);
    EXPECT_EQ(host.findChildByName<TabsOfTwo>(L"b")->getPageCount(), 0);
    EXPECT_TRUE(host.findChildByName(L"a")->isClass(L"tabctrl"));
}

TEST_F(ToolkitApp, RegisteringNeverReplacesAClass)
{
    EXPECT_FALSE(app->registerWindowClass(L"button", [](QWidget* p) -> SWindow* { return new SWindow(p); }));
    SWindow* made = app->createWindowByTag(L"button", nullptr);
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->classTag(), L"button");
    delete made;
    EXPECT_EQ(app->createWindowByTag(L"Button", nullptr), nullptr) << "tags compare exactly";
}

TEST_F(ToolkitApp, PositionsCountFromEitherEdge)
{
    TempPackage package;
    package.add(QStringLiteral("LAYOUT:pos"), QStringLiteral("pos.xml"), R"(<host size="200,100" layout="pos" padding="5">
      <window name="near" pos="10,20" size="30,10"/>
      <window name="far" pos="-0,-4" size="30,10"/>
      <window name="mixed" pos="-10,0" size="20,20"/>
    </host>)");
    addPackage(package.commit());
    SHostWnd host(L"LAYOUT:pos");
    ASSERT_TRUE(host.createWindow()) << host.layoutErrorText().toStdString();
    host.show();
    EXPECT_EQ(host.findChildByName(L"near")->geometry(), QRect(15, 25, 30, 10));
    EXPECT_EQ(host.findChildByName(L"far")->geometry(), QRect(200 - 5 - 30, 100 - 5 - 4 - 10, 30, 10));
    EXPECT_EQ(host.findChildByName(L"mixed")->geometry(), QRect(200 - 5 - 10 - 20, 5, 20, 20));
}

TEST_F(ToolkitApp, BoxWeightsShareTheSpace)
{
    TempPackage package;
    package.add(QStringLiteral("LAYOUT:box"), QStringLiteral("box.xml"), R"(<host size="300,50" layout="hbox" spacing="10">
      <window name="fixed" width="50"/>
      <window name="one" weight="1"/>
      <window name="two" weight="2"/>
    </host>)");
    addPackage(package.commit());
    SHostWnd host(L"LAYOUT:box");
    ASSERT_TRUE(host.createWindow()) << host.layoutErrorText().toStdString();
    host.show();
    EXPECT_EQ(host.findChildByName(L"fixed")->width(), 50);
    // 300 - 50 - 2 * 10 = 230 pixels shared 1 : 2.
    const int one = host.findChildByName(L"one")->width();
    const int two = host.findChildByName(L"two")->width();
    EXPECT_NEAR(one, 230 / 3.0, 1.0);
    EXPECT_EQ(one + two, 230);
    EXPECT_EQ(host.findChildByName(L"two")->x(), 50 + 10 + one + 10);
}

}  // namespace
