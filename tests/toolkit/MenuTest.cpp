#include "ToolkitTestSupport.h"

#include "toolkit/SMenu.h"
#include "toolkit/Translator.h"
#include "toolkit/XmlSource.h"

#include <QMenu>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

namespace {

using namespace toolkittest;

struct Sent {
    unsigned msg;
    uintptr_t wParam;
    intptr_t lParam;
    bool operator==(const Sent&) const = default;
};

// A message target that records what it is sent.
class Owner : public IMessageTarget {
public:
    intptr_t sendMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override
    {
        sent.push_back(Sent{msg, wParam, lParam});
        return 0;
    }
    bool postMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override
    {
        sendMessage(msg, wParam, lParam);
        return true;
    }
    std::vector<Sent> sent;
};

// Finds the open pop-up menu and acts on it once the menu runs.
void whenMenuOpens(std::function<void(QMenu&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        act(*menu);
    });
}

QAction* actionWithId(QMenu& menu, int id)
{
    for (QAction* a : menu.actions()) {
        if (a->data().toInt() == id) {
            return a;
        }
    }
    return nullptr;
}

void clickAction(QMenu& menu, int id)
{
    QAction* action = actionWithId(menu, id);
    ASSERT_NE(action, nullptr);
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(action).center());
}

const char* const kClassic = R"(<menu trCtx="tray"><item id="1" text="Show window"/><sep/><item id="6" text="Exit"/></menu>)";
const char* const kExtended = R"(<menuRoot trCtx="more" width="150"><menuItem id="3" text="About"/><menuItem id="6" text="Exit"/></menuRoot>)";
const char* const kItemRoot = R"(<menuItem><menuItem id="4" text="Four"/><menuItem id="6" text="Exit"/></menuItem>)";

class Menus : public ToolkitApp {
protected:
    void SetUp() override
    {
        ToolkitApp::SetUp();
        package.add(QStringLiteral("SMENU:classic"), QStringLiteral("classic.xml"), kClassic);
        package.add(QStringLiteral("SMENUEX:extended"), QStringLiteral("extended.xml"), kExtended);
        package.add(QStringLiteral("SMENUEX:itemroot"), QStringLiteral("itemroot.xml"), kItemRoot);
        package.add(QStringLiteral("SMENU:bad_element"), QStringLiteral("bad1.xml"), "<menu><entry id=\"1\"/></menu>");
        package.add(QStringLiteral("SMENU:bad_attribute"), QStringLiteral("bad2.xml"), "<menu><item ident=\"1\"/></menu>");
        addPackage(package.commit());
    }
    TempPackage package;
    Owner owner;
};

struct ChoiceCase {
    const char* label;
    bool extended;
    const wchar_t* resource;
    int chosen;
};

class MenuChoices : public Menus, public testing::WithParamInterface<ChoiceCase> {};

TEST_P(MenuChoices, ChosenItemReachesTheOwnerAsWmCommand)
{
    const ChoiceCase& c = GetParam();
    SMenu classic;
    SMenuEx extended;
    SMenuBase& menu = c.extended ? static_cast<SMenuBase&>(extended) : classic;
    ASSERT_TRUE(menu.loadMenu(c.resource)) << menu.errorText().toStdString();
    whenMenuOpens([&](QMenu& m) { clickAction(m, c.chosen); });
    EXPECT_EQ(menu.trackPopupMenu(0, 100, 80, &owner), c.chosen);
    const std::vector<Sent> expected = {{WM_COMMAND, makeWParam(static_cast<unsigned>(c.chosen), 0), 0}};
    EXPECT_EQ(owner.sent, expected);
    EXPECT_EQ(loWord(owner.sent[0].wParam), static_cast<unsigned>(c.chosen));
    EXPECT_EQ(hiWord(owner.sent[0].wParam), 0u) << "high word 0: a menu command";
}

INSTANTIATE_TEST_SUITE_P(Kinds, MenuChoices,
                         testing::Values(ChoiceCase{"Classic", false, L"SMENU:classic", 6},
                                         ChoiceCase{"ClassicFirst", false, L"smenu:CLASSIC", 1},
                                         ChoiceCase{"Extended", true, L"SMENUEX:extended", 3},
                                         ChoiceCase{"ItemRoot", true, L"SMENUEX:itemroot", 4}),
                         [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.label); });

TEST_F(Menus, ReturnCommandFlagReturnsTheIdWithoutSending)
{
    SMenu menu;
    ASSERT_TRUE(menu.loadMenu(L"SMENU:classic"));
    whenMenuOpens([](QMenu& m) { clickAction(m, 6); });
    EXPECT_EQ(menu.trackPopupMenu(TPM_RETURNCMD, 10, 10, &owner), 6);
    EXPECT_TRUE(owner.sent.empty());
}

TEST_F(Menus, DismissedMenuSendsNothing)
{
    SMenuEx menu;
    ASSERT_TRUE(menu.loadMenu(L"SMENUEX:extended"));
    whenMenuOpens([](QMenu& m) { QTest::keyClick(&m, Qt::Key_Escape); });
    EXPECT_EQ(menu.trackPopupMenu(0, 10, 10, &owner), 0);
    EXPECT_TRUE(owner.sent.empty());
}

TEST_F(Menus, SeparatorsAndTextsComeFromTheResource)
{
    SMenu menu;
    ASSERT_TRUE(menu.loadMenu(L"SMENU:classic"));
    const auto actions = menu.qmenu()->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Show window"));
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->data().toInt(), 6);
}

TEST_F(Menus, TextsPassThroughTheTranslation)
{
    auto manager = std::make_shared<TranslatorManager>();
    app->setTranslatorManager(manager);
    pugi::xml_document doc;
    doc.load_string(R"(<language name="t"><context name="tray"><message src="Exit" tr="退出"/></context></language>)");
    auto translator = std::make_shared<Translator>();
    ASSERT_TRUE(translator->load(doc.child("language")));
    manager->installTranslator(translator);
    SMenu menu;
    ASSERT_TRUE(menu.loadMenu(L"SMENU:classic"));
    EXPECT_EQ(actionWithId(*menu.qmenu(), 6)->text(), QStringLiteral("退出"));
    EXPECT_EQ(actionWithId(*menu.qmenu(), 1)->text(), QStringLiteral("Show window")) << "missing: unchanged";
}

struct BadMenu {
    const char* label;
    bool extended;
    const wchar_t* resource;
};

class BadMenus : public Menus, public testing::WithParamInterface<BadMenu> {};

TEST_P(BadMenus, FailToLoadAndShowNothing)
{
    SMenu classic;
    SMenuEx extended;
    SMenuBase& menu = GetParam().extended ? static_cast<SMenuBase&>(extended) : classic;
    EXPECT_FALSE(menu.loadMenu(GetParam().resource));
    EXPECT_FALSE(menu.errorText().isEmpty());
    EXPECT_EQ(menu.trackPopupMenu(0, 0, 0, &owner), 0);
    EXPECT_TRUE(owner.sent.empty());
}

INSTANTIATE_TEST_SUITE_P(Resources, BadMenus,
                         testing::Values(BadMenu{"Missing", false, L"SMENU:absent"},
                                         BadMenu{"UnknownElement", false, L"SMENU:bad_element"},
                                         BadMenu{"UnknownAttribute", false, L"SMENU:bad_attribute"},
                                         BadMenu{"ClassicAsExtended", true, L"SMENU:classic"},
                                         BadMenu{"ExtendedAsClassic", false, L"SMENUEX:extended"}),
                         [](const testing::TestParamInfo<BadMenu>& info) { return std::string(info.param.label); });

struct PackageMenu {
    const char* label;
    bool extended;
    const wchar_t* resource;
};

class PackageMenus : public ToolkitApp, public testing::WithParamInterface<PackageMenu> {};

TEST_P(PackageMenus, CarryCommandSixToClose)
{
    addProjectPackage();
    SMenu classic;
    SMenuEx extended;
    SMenuBase& menu = GetParam().extended ? static_cast<SMenuBase&>(extended) : classic;
    ASSERT_TRUE(menu.loadMenu(GetParam().resource)) << menu.errorText().toStdString();
    EXPECT_NE(actionWithId(*menu.qmenu(), 6), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Package, PackageMenus,
                         testing::Values(PackageMenu{"Tray", false, L"SMENU:menu_tray"},
                                         PackageMenu{"More", true, L"smenuex:menu_more"}),
                         [](const testing::TestParamInfo<PackageMenu>& info) { return std::string(info.param.label); });

}  // namespace
