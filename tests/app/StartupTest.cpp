#include "app/Startup.h"

#include "AppFixture.h"
#include "config/ProfileStore.h"
#include "toolkit/SApplication.h"
#include "toolkit/UiDefinitions.h"

#include <QApplication>
#include <QPalette>

#include <gtest/gtest.h>

#include <fstream>
#include <ostream>

namespace {

struct LanguageCase {
    const char* name;
    const wchar_t* language;
    const wchar_t* translation;
};

// Test output names the row, not its bytes.
void PrintTo(const LanguageCase& row, std::ostream* out) { *out << row.name; }

class LanguageChoiceTest : public testing::TestWithParam<LanguageCase> {};

TEST_P(LanguageChoiceTest, OnlyExactlyCnSelectsChinese)
{
    EXPECT_EQ(translationNameForLanguage(GetParam().language), GetParam().translation);
}

const LanguageCase kLanguages[] = {
    {"cn", L"cn", L"lang_cn"},        {"capitals", L"CN", L"lang_en"},  {"mixed_case", L"Cn", L"lang_en"},
    {"trailing_space", L"cn ", L"lang_en"}, {"longer", L"cn_zh", L"lang_en"}, {"english", L"en", L"lang_en"},
    {"empty", L"", L"lang_en"},
};

INSTANTIATE_TEST_SUITE_P(Languages, LanguageChoiceTest, testing::ValuesIn(kLanguages),
                         [](const testing::TestParamInfo<LanguageCase>& info) { return info.param.name; });

struct InstalledTranslationCase {
    const char* name;
    const char* language;
    const wchar_t* translation;
    const char* exitText;  // the tray menu's "Exit" as translated
};

// Test output names the row, not its bytes.
void PrintTo(const InstalledTranslationCase& row, std::ostream* out) { *out << row.name; }

class StartupTranslationTest : public testing::TestWithParam<InstalledTranslationCase> {};

TEST_P(StartupTranslationTest, InstallsTheChosenTranslation)
{
    TempDir temp;
    const auto directory = makeAppDirectory(temp, GetParam().language);
    AppStartup startup(AppDirectories{directory, directory, false});
    ASSERT_TRUE(startup.prepare()) << startup.error();
    EXPECT_EQ(startup.installedTranslation(), GetParam().translation);
    EXPECT_EQ(SApplication::instance()->translate(QStringLiteral("Exit"), QStringLiteral("tray")),
              QString::fromUtf8(GetParam().exitText));
}

const InstalledTranslationCase kInstalled[] = {
    {"chinese", "cn", L"lang_cn", "退出"},
    {"english", "en", L"lang_en", "Exit"},
    {"no_language", "", L"lang_en", "Exit"},
};

INSTANTIATE_TEST_SUITE_P(Languages, StartupTranslationTest, testing::ValuesIn(kInstalled),
                         [](const testing::TestParamInfo<InstalledTranslationCase>& info) { return info.param.name; });

class StartupTest : public testing::Test {
protected:
    TempDir temp_;
};

TEST_F(StartupTest, ConfigurationIsLoadedBeforeAnyOtherValueOfItsChannel)
{
    const auto directory = makeAppDirectory(temp_, "en", "vid=\"0x1234\" pid=\"5678\" interface=\"2\" subdevice=\"-1\"");
    AppStartup startup(AppDirectories{directory, directory, false});
    ASSERT_TRUE(startup.prepare()) << startup.error();
    // A value made later (as the device logic and the pages make theirs) starts with the loaded data.
    const UsbInfoShape later;
    ASSERT_NE(later.tryAt(-1), nullptr);
    EXPECT_EQ(*later.tryAt(-1), (UsbInfo{0x1234, 0x5678, 2, -1}));
    const FuncKeyListShape keys;
    ASSERT_EQ(keys.length(), 1u);
    EXPECT_EQ(keys.at(0).name, L"Mute");
}

TEST_F(StartupTest, RegistersTheWidgetClassesAndNamedIds)
{
    const auto directory = makeAppDirectory(temp_, "en");
    AppStartup startup(AppDirectories{directory, directory, false});
    ASSERT_TRUE(startup.prepare()) << startup.error();
    const SApplication& app = *SApplication::instance();
    for (const wchar_t* tag : {L"shellnotifyicon", L"cbimg", L"page2", L"tabctrl2", L"anmimg", L"editex", L"stimage",
                               L"radioex", L"checkex", L"imgbtn", L"text"}) {
        EXPECT_TRUE(app.isWindowClassRegistered(tag)) << QString::fromWCharArray(tag).toStdString();
    }
    EXPECT_EQ(app.namedIds().idOf(L"btn_more"), 65537);
    EXPECT_EQ(app.namedIds().idOf(L"version"), 65676);
    EXPECT_FALSE(app.namedString(1).empty());
}

// Tooltips, menus and file choosers, which Qt draws itself, take the package's colours.
TEST_F(StartupTest, GivesWhatQtDrawsThePackageColours)
{
    const auto directory = makeAppDirectory(temp_, "en");
    AppStartup startup(AppDirectories{directory, directory, false});
    ASSERT_TRUE(startup.prepare()) << startup.error();
    const UiDefinitions& definitions = SApplication::instance()->uiDefinitions();
    EXPECT_EQ(QApplication::palette().color(QPalette::ToolTipBase),
              definitions.colorByName(QStringLiteral("panel_high")).value_or(Qt::transparent));
    EXPECT_EQ(QApplication::palette().color(QPalette::Window),
              definitions.colorByName(QStringLiteral("bg")).value_or(Qt::transparent));
}

TEST_F(StartupTest, ProfileStoresLiveInTheProfileDirectory)
{
    const auto directory = makeAppDirectory(temp_, "en");
    const auto profiles = temp_.path() / "profiles";
    AppStartup startup(AppDirectories{directory, profiles, true});
    ASSERT_TRUE(startup.prepare()) << startup.error();
    EXPECT_TRUE(std::filesystem::is_directory(profiles));
    EXPECT_EQ(mouseProfileStore().directory, profiles);
    EXPECT_EQ(keyboardProfileStore().directory, profiles);
    // A save after start-up writes the profile file there.
    ASSERT_TRUE(saveProfileStore(mouseProfileStore()));
    EXPECT_TRUE(std::filesystem::is_regular_file(profiles / "msprofile.xml"));
}

TEST_F(StartupTest, MissingPackageIndexIsReportedWithItsPlace)
{
    const auto directory = temp_.path() / "empty";
    std::filesystem::create_directories(directory / "uires");
    AppStartup startup(AppDirectories{directory, directory, false});
    EXPECT_FALSE(startup.prepare());
    EXPECT_NE(startup.error().find("uires.idx"), std::string::npos) << startup.error();
    EXPECT_NE(startup.error().find((directory / "uires").string()), std::string::npos) << startup.error();
}

TEST_F(StartupTest, MissingMainLayoutEndsWithAnErrorInsteadOfAWindow)
{
    // A package whose index lacks the main layout.
    const auto directory = temp_.path() / "app";
    const auto package = directory / "uires";
    std::filesystem::create_directories(directory);
    std::filesystem::copy(std::filesystem::path(MOUSECFG_SOURCE_DIR) / "uires", package,
                          std::filesystem::copy_options::recursive);
    std::ifstream in(package / "uires.idx");
    std::string index;
    for (std::string line; std::getline(in, line);) {
        if (line.find("XML_MAINWND") == std::string::npos) {
            index += line + "\n";
        }
    }
    in.close();
    std::ofstream(package / "uires.idx") << index;

    AppStartup startup(AppDirectories{directory, directory, false});
    ASSERT_TRUE(startup.prepare()) << startup.error();
    EXPECT_EQ(startup.runMainWindow(CMainDlg::Options{}), 1);
    EXPECT_NE(startup.error().find("LAYOUT:XML_MAINWND"), std::string::npos) << startup.error();
}

}  // namespace
