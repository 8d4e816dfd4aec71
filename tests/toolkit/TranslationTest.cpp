#include "ToolkitTestSupport.h"

#include "toolkit/SComboBox.h"
#include "toolkit/SHostWnd.h"
#include "toolkit/STabCtrl.h"
#include "toolkit/Translator.h"
#include "toolkit/XmlSource.h"

#include <QRegularExpression>

#include <pugixml.hpp>

namespace {

using namespace toolkittest;

const char* const kLayout = R"(<host size="300,200" title="Settings" trCtx="page">
  <text name="label" text="Speed" tip="Light speed"/>
  <text name="untranslated" text="Brightness"/>
  <text name="shared" text="OK"/>
  <combobox name="combo"><item text="Wave"/><item text="Static"/></combobox>
  <tabctrl name="tab"><page title="Macro"/></tabctrl>
</host>)";

const char* const kChinese = R"(<language name="lang_cn">
  <context name="page">
    <message src="Settings" tr="设置"/>
    <message src="Speed" tr="速度"/>
    <message src="Light speed" tr="灯光速度"/>
    <message src="Wave" tr="波浪"/>
    <message src="Macro" tr="宏"/>
  </context>
  <context name=""><message src="OK" tr="确定"/></context>
  <context name="other"><message src="Brightness" tr="亮度"/></context>
</language>)";

std::shared_ptr<Translator> translatorFrom(const char* xml)
{
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(xml));
    auto translator = std::make_shared<Translator>();
    EXPECT_TRUE(translator->load(doc.child("language")));
    return translator;
}

class Translation : public ToolkitApp {
protected:
    void SetUp() override
    {
        ToolkitApp::SetUp();
        package.add(QStringLiteral("LAYOUT:page"), QStringLiteral("page.xml"), kLayout);
        addPackage(package.commit());
        manager = std::make_shared<TranslatorManager>();
        app->setTranslatorManager(manager);
    }
    std::wstring text(SHostWnd& host, const wchar_t* name) { return host.findChildByName(name)->windowText(); }

    TempPackage package;
    std::shared_ptr<TranslatorManager> manager;
};

TEST_F(Translation, LayoutTextsPassThroughTheInstalledTranslator)
{
    manager->installTranslator(translatorFrom(kChinese));
    SHostWnd host(L"LAYOUT:page");
    ASSERT_TRUE(host.createWindow());
    EXPECT_EQ(text(host, L"label"), L"速度");
    EXPECT_EQ(host.findChildByName(L"label")->toolTip(), QStringLiteral("灯光速度"));
    EXPECT_EQ(host.windowTitle(), QStringLiteral("设置"));
    EXPECT_EQ(text(host, L"shared"), L"确定") << "the empty context serves every layout";
    EXPECT_EQ(text(host, L"untranslated"), L"Brightness") << "another context's text does not apply";
    auto* combo = host.findChildByName<SComboBox>(L"combo");
    EXPECT_EQ(combo->getItemText(0), L"波浪");
    EXPECT_EQ(combo->getItemText(1), L"Static");
    EXPECT_EQ(host.findChildByName<STabCtrl>(L"tab")->getPage(0)->title(), QStringLiteral("宏"));
}

TEST_F(Translation, InstallingLaterChangesOpenWindowsAndUninstallingRestores)
{
    SHostWnd host(L"LAYOUT:page");
    ASSERT_TRUE(host.createWindow());
    EXPECT_EQ(text(host, L"label"), L"Speed");
    manager->installTranslator(translatorFrom(kChinese));
    EXPECT_EQ(text(host, L"label"), L"速度");
    EXPECT_EQ(host.findChildByName<SComboBox>(L"combo")->getItemText(0), L"波浪");
    EXPECT_TRUE(manager->uninstallTranslator(QStringLiteral("lang_cn")));
    EXPECT_EQ(text(host, L"label"), L"Speed");
    EXPECT_EQ(host.windowTitle(), QStringLiteral("Settings"));
}

TEST_F(Translation, TextSetByCodeIsNotTranslated)
{
    manager->installTranslator(translatorFrom(kChinese));
    SHostWnd host(L"LAYOUT:page");
    ASSERT_TRUE(host.createWindow());
    host.findChildByName(L"label")->setWindowText(L"Speed");
    EXPECT_EQ(text(host, L"label"), L"Speed");
    manager->installTranslator(translatorFrom(kChinese));
    EXPECT_EQ(text(host, L"label"), L"Speed") << "code texts stay as given";
}

TEST_F(Translation, CodeCanTranslateWideText)
{
    manager->installTranslator(translatorFrom(kChinese));
    EXPECT_EQ(app->translate(std::wstring_view(L"OK")), L"确定") << "the empty context";
    EXPECT_EQ(app->translate(L"Wave", L"page"), L"波浪");
    EXPECT_EQ(app->translate(std::wstring_view(L"F1")), L"F1");
}

TEST_F(Translation, LaterTranslatorWinsAndSameNameReplaces)
{
    manager->installTranslator(translatorFrom(kChinese));
    manager->installTranslator(translatorFrom(
        R"(<language name="patch"><context name="page"><message src="Speed" tr="快慢"/></context></language>)"));
    EXPECT_EQ(manager->translate(QStringLiteral("Speed"), QStringLiteral("page")), QStringLiteral("快慢"));
    EXPECT_EQ(manager->translate(QStringLiteral("Wave"), QStringLiteral("page")), QStringLiteral("波浪"));
    manager->installTranslator(translatorFrom(R"(<language name="patch"/>)"));
    EXPECT_EQ(manager->translate(QStringLiteral("Speed"), QStringLiteral("page")), QStringLiteral("速度"));
}

struct BadLanguage {
    const char* label;
    const char* xml;
};

class BadLanguages : public testing::TestWithParam<BadLanguage> {};

TEST_P(BadLanguages, AreRefused)
{
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(GetParam().xml));
    Translator translator;
    EXPECT_FALSE(translator.load(doc.document_element()));
    EXPECT_TRUE(translator.keys().empty());
}

INSTANTIATE_TEST_SUITE_P(Documents, BadLanguages,
                         testing::Values(BadLanguage{"WrongRoot", "<translation name=\"x\"/>"},
                                         BadLanguage{"MessageWithoutSource",
                                                     "<language name=\"x\"><context><message tr=\"y\"/></context></language>"}),
                         [](const testing::TestParamInfo<BadLanguage>& info) { return std::string(info.param.label); });

// The package's two translations cover the same texts.
TEST_F(ToolkitApp, PackageTranslationsHaveTheSameKeys)
{
    addProjectPackage();
    std::vector<std::vector<std::pair<QString, QString>>> keys;
    for (const wchar_t* name : {L"translator:lang_en", L"translator:lang_cn"}) {
        XmlSource document;
        ASSERT_TRUE(app->loadXml(name, document)) << document.error().toStdString();
        Translator translator;
        ASSERT_TRUE(translator.load(document.document().child("language")));
        keys.push_back(translator.keys());
    }
    EXPECT_FALSE(keys[0].empty());
    EXPECT_EQ(keys[0], keys[1]);
}

// Every text of the gallery has a Chinese translation.
TEST_F(ToolkitApp, GalleryIsFullyTranslated)
{
    addProjectPackage();
    auto manager = std::make_shared<TranslatorManager>();
    app->setTranslatorManager(manager);
    XmlSource document;
    ASSERT_TRUE(app->loadXml(L"translator:lang_cn", document));
    auto translator = std::make_shared<Translator>();
    ASSERT_TRUE(translator->load(document.document().child("language")));
    manager->installTranslator(translator);
    SHostWnd host(L"LAYOUT:gallery");
    ASSERT_TRUE(host.createWindow());
    XmlSource gallery;
    ASSERT_TRUE(app->loadXml(L"LAYOUT:gallery", gallery));
    for (const pugi::xpath_node& found : gallery.document().select_nodes("//*[@text] | //*[@title]")) {
        const pugi::xml_node node = found.node();
        const QString source = QString::fromUtf8((node.attribute("text") ? node.attribute("text") : node.attribute("title")).value());
        if (source.startsWith(QStringLiteral("version")) || !source.contains(QRegularExpression(QStringLiteral("[A-Za-z]")))) {
            continue;  // set by the application, or a number
        }
        EXPECT_TRUE(translator->translate(source, QStringLiteral("gallery")).has_value()) << source.toStdString();
    }
}

}  // namespace
