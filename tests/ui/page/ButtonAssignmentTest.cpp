// Assigning the mouse's buttons through the editor: what is published, what
// the profile keeps and what the profile file holds afterwards.

#include "FileText.h"
#include "PageFixture.h"

#include "ui/ButtonAssignment.h"
#include "ui/KeyboardHook.h"

#include <fstream>
#include <string>

namespace pagetest {
namespace {

constexpr int kOk = 1;
constexpr int kCancel = 2;

MacroItem item(int32_t code, int32_t state, int32_t delay)
{
    MacroItem result;
    result.code = code;
    result.state = state;
    result.delay = delay;
    return result;
}

class Assignment : public PageTest {
protected:
    void configureKeyLists() override
    {
        funcKeys = std::make_unique<FuncKeyListShape>();
        combKeys = std::make_unique<CombKeyListShape>();
        const MacroFuncKey media[] = {{L"Play", 0xCD, L"", L""}, {L"Mute", 0xE2, L"", L""}};
        funcKeys->assign(media, 2, 0);
        const MacroCombKey combos[] = {{L"Copy", {{17, 5}, {65, 0}}}, {L"Nothing", {}}};
        combKeys->assign(combos, 2, 0);
    }
    void SetUp() override
    {
        PageTest::SetUp();
        openAssignmentPage();
    }
    // Opens the page with the test's editor; `prepare` may replace more.
    void openAssignmentPage(const std::function<void(MouseUi&)>& prepare = {})
    {
        openPage([this, &prepare](MouseUi& page) {
            if (prepare) {
                prepare(page);
            }
            page.setAssignmentEditor([this](ProfileGroup& profile, const std::map<int, std::wstring>& names,
                                            SHostWnd* parent) {
                ++editorRuns;
                editorNames = names;
                EXPECT_EQ(parent, host.get());
                if (editorAction) {
                    editorAction(profile);
                }
                return editorResult;
            });
        });
    }
    void TearDown() override
    {
        PageTest::TearDown();
        combKeys.reset();
        funcKeys.reset();
    }

    // Presses and releases button `code` of the picture.
    void clickButton(int code)
    {
        auto* picture = widget<CoordButtonImage>(L"img_keyboard");
        ASSERT_NE(picture, nullptr);
        CoordButtonItem button;
        ASSERT_TRUE(picture->findItem(code, button));
        EXPECT_EQ(host->page.onCoordButton(code, button, 0, 0, 1, 1), 0);
        EXPECT_EQ(editorRuns, 0) << "a press opens nothing";
        EXPECT_EQ(host->page.onCoordButton(code, button, 1, 0, 1, 1), 0);
    }

    std::string profileFile() const { return fileText(profileDir.filePath("msprofile.xml").toStdString()); }

    std::unique_ptr<FuncKeyListShape> funcKeys;
    std::unique_ptr<CombKeyListShape> combKeys;
    int editorRuns = 0;
    std::map<int, std::wstring> editorNames;
    std::function<void(ProfileGroup&)> editorAction;
    int editorResult = kOk;
};

struct ChoiceRow {
    const char* label;
    ProfileParam param;
    int expectedParam;          // -1: nothing is published
    std::wstring name;
    std::vector<MacroItem> items;
};

class AssignmentChoices : public Assignment, public testing::WithParamInterface<ChoiceRow> {};

TEST_P(AssignmentChoices, publishTheRecordOfThePage)
{
    const ChoiceRow& row = GetParam();
    editorAction = [&](ProfileGroup& profile) { profile.param = row.param; };
    clickButton(3);
    EXPECT_EQ(editorRuns, 1);
    EXPECT_EQ(editorNames, (std::map<int, std::wstring>{{3, L"Forward button"}}));
    const ProfileGroup& profile = mouseProfileStore().groups.at(0);
    if (row.expectedParam < 0) {
        settle();
        EXPECT_TRUE(device->assignment.arrivals().empty());
        EXPECT_TRUE(profile.records.empty());
        return;
    }
    ASSERT_TRUE(device->assignment.waitArrivals(1));
    const auto arrival = device->assignment.last();
    EXPECT_EQ(arrival.param, row.expectedParam);
    EXPECT_EQ(arrival.value.code, 3);
    EXPECT_EQ(arrival.value.page, row.param.page);
    EXPECT_EQ(arrival.value.repeat, 1);
    EXPECT_EQ(arrival.value.name, row.name);
    EXPECT_EQ(arrival.value.group, row.name);
    EXPECT_EQ(arrival.value.items, row.items);
    ASSERT_EQ(profile.records.size(), 1u);
    EXPECT_EQ(profile.records[0], arrival.value);
}

std::wstring nameOfKey(int code)
{
    const wchar_t* name = lookupKeyName(code);
    return name ? name : L"";
}

INSTANTIATE_TEST_SUITE_P(
    Pages, AssignmentChoices,
    testing::Values(
        ChoiceRow{"singleKey", {.page = 1, .skcode = 0x41}, 2, nameOfKey(0x41), {item(0x41, 0, 0)}},
        ChoiceRow{"singleKeyExtendedFallsBack", {.page = 1, .skcode = 0x141}, 2, nameOfKey(0x41),
                  {item(0x141, 0, 0)}},
        ChoiceRow{"functionKeyByIndex", {.page = 2, .media = 0}, 3, L"Play", {item(0xCD, 0, 0)}},
        ChoiceRow{"functionKeyByCursor", {.page = 2, .media = -1}, 3, L"Play", {item(0xCD, 0, 0)}},
        ChoiceRow{"functionKeyOutOfRange", {.page = 2, .media = 2}, -1, L"", {}},
        ChoiceRow{"combinationKey",
                  {.page = 3, .function = 0},
                  4,
                  L"Copy",
                  {item(17, 0, 6), item(65, 0, 1), item(17, 1, 5), item(65, 1, 0)}},
        ChoiceRow{"combinationKeyByCursor",
                  {.page = 3, .function = -1},
                  4,
                  L"Copy",
                  {item(17, 0, 6), item(65, 0, 1), item(17, 1, 5), item(65, 1, 0)}},
        ChoiceRow{"combinationWithoutSteps", {.page = 3, .function = 1}, -1, L"", {}},
        ChoiceRow{"unknownPage", {.page = 4}, -1, L"", {}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Assignment, macroTakesTheCurrentMacroGroupAndRepeat)
{
    editorAction = [](ProfileGroup& profile) {
        profile.param.page = 0;
        profile.param.repeat = 3;
        profile.macros = {MacroGroup{L"first", {}}, MacroGroup{L"hello", {item(0x48, 0, 10), item(0x48, 1, 20)}}};
        profile.macroSel = 1;
    };
    clickButton(1);
    ASSERT_TRUE(device->assignment.waitArrivals(1));
    const auto arrival = device->assignment.last();
    EXPECT_EQ(arrival.param, 1);
    EXPECT_EQ(arrival.value.name, L"Right button");
    EXPECT_EQ(arrival.value.group, L"hello");
    EXPECT_EQ(arrival.value.repeat, 3);
    EXPECT_EQ(arrival.value.items, (std::vector<MacroItem>{item(0x48, 0, 10), item(0x48, 1, 20)}));
    const std::string file = profileFile();
    EXPECT_NE(file.find("<group code=\"1\" page=\"0\" repeat=\"3\" name=\"Right button\" group=\"hello\""),
              std::string::npos)
        << file;
}

TEST_F(Assignment, macroWithoutSelectionRemovesTheOldRecordAndPublishesNothing)
{
    ProfileGroup& profile = *appendProfileGroup(mouseProfileStore());
    RecordGroup old;
    old.code = 1;
    old.name = L"old";
    profile.records = {old};
    editorAction = [](ProfileGroup& edited) {
        edited.param.page = 0;
        edited.macroSel = -1;
    };
    clickButton(1);
    settle();
    EXPECT_TRUE(device->assignment.arrivals().empty());
    EXPECT_TRUE(mouseProfileStore().groups.at(0).records.empty());
    EXPECT_EQ(profileFile().find("name=\"old\""), std::string::npos);
}

TEST_F(Assignment, applyReplacesTheButtonsRecordAndKeepsOthers)
{
    ProfileGroup& profile = *appendProfileGroup(mouseProfileStore());
    RecordGroup other;
    other.code = 5;
    other.name = L"other";
    RecordGroup old;
    old.code = 3;
    old.name = L"old";
    profile.records = {other, old};
    editorAction = [](ProfileGroup& edited) { edited.param = ProfileParam{.page = 2, .media = 0}; };
    clickButton(3);
    ASSERT_TRUE(device->assignment.waitArrivals(1));
    const auto& records = mouseProfileStore().groups.at(0).records;
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, L"other");
    EXPECT_EQ(records[1].name, L"Play");
}

TEST_F(Assignment, deleteRestoresTheOwnFunction)
{
    ProfileGroup& profile = *appendProfileGroup(mouseProfileStore());
    RecordGroup old;
    old.code = 4;
    old.name = L"old";
    profile.records = {old};
    editorResult = MouseUi::kDeleteResult;
    clickButton(4);
    ASSERT_TRUE(device->assignment.waitArrivals(1));
    const auto arrival = device->assignment.last();
    EXPECT_EQ(arrival.param, 0);
    RecordGroup expected;
    expected.code = 4;
    EXPECT_EQ(arrival.value, expected);
    EXPECT_TRUE(mouseProfileStore().groups.at(0).records.empty());
}

TEST_F(Assignment, cancelPublishesNothingButSavesTheEditorsChanges)
{
    editorResult = kCancel;
    editorAction = [](ProfileGroup& profile) {
        profile.macros = {MacroGroup{L"kept", {item(0x41, 0, 0)}}};
        profile.param.delay = 33;
    };
    clickButton(0);
    settle();
    EXPECT_TRUE(device->assignment.arrivals().empty());
    const std::string file = profileFile();
    EXPECT_NE(file.find("name=\"kept\""), std::string::npos) << file;
    EXPECT_NE(file.find("delay=\"33\""), std::string::npos) << file;
}

// A failed save is told once with its reason; after a save that works, the
// next failure is told again.
TEST_F(Assignment, failedSaveIsToldOnceUntilASaveWorks)
{
    std::vector<std::wstring> notices;
    host->page.setNotice([&notices](SHostWnd*, const std::wstring& text, const std::wstring&) {
        notices.push_back(text);
    });
    // A directory below a regular file cannot hold the profile, whoever runs the test.
    const std::string blocker = profileDir.filePath("not-a-directory").toStdString();
    std::ofstream(blocker) << "x";
    ProfileStore& store = mouseProfileStore();
    const std::string goodDirectory = store.directory;
    store.directory = blocker + "/profiles";
    // Each use of the editor saves the profile.
    const auto useEditor = [this](int code) {
        CoordButtonItem button;
        ASSERT_TRUE(widget<CoordButtonImage>(L"img_keyboard")->findItem(code, button));
        host->page.onCoordButton(code, button, 0, 0, 1, 1);
        host->page.onCoordButton(code, button, 1, 0, 1, 1);
    };

    useEditor(0);
    useEditor(1);
    ASSERT_EQ(notices.size(), 1u) << "told once for two failed saves";
    EXPECT_NE(notices[0].find(L"could not be saved"), std::wstring::npos);
    EXPECT_NE(notices[0].find(L"("), std::wstring::npos) << "with its reason";

    store.directory = goodDirectory;
    useEditor(0);
    EXPECT_EQ(notices.size(), 1u);
    EXPECT_FALSE(profileFile().empty()) << "the working save wrote the file";
    store.directory = blocker + "/profiles";
    useEditor(1);
    EXPECT_EQ(notices.size(), 2u) << "a new failure after a good save is told again";
    EXPECT_EQ(editorRuns, 4);
}

// A profile file that cannot be parsed is told once, after the window is up,
// with its path and the parser's reason; the next save keeps its bytes aside.
TEST_F(Assignment, unreadableProfileIsToldOnceAndKeptAside)
{
    const std::string damaged = "<profile sel=\"0\"><group id=\"0\">";
    const std::string path = profileDir.filePath("msprofile.xml").toStdString();
    std::ofstream(path) << damaged;
    ProfileStore& store = mouseProfileStore();
    EXPECT_FALSE(loadProfileStore(store, kMouseProfileFileName));

    std::vector<std::wstring> notices;
    const auto captureNotices = [&notices](MouseUi& page) {
        page.setNotice([&notices](SHostWnd*, const std::wstring& text, const std::wstring&) {
            notices.push_back(text);
        });
    };
    host.reset();
    openAssignmentPage(captureNotices);
    EXPECT_TRUE(notices.empty()) << "not told while the window is being built";
    QCoreApplication::processEvents();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find(QString::fromStdString(path).toStdWString()), std::wstring::npos) << "names the file";
    EXPECT_NE(notices[0].find(L"could not be read ("), std::wstring::npos) << "with the reason";

    host.reset();
    openAssignmentPage(captureNotices);
    QCoreApplication::processEvents();
    EXPECT_EQ(notices.size(), 1u) << "a window opened again does not tell it again";

    clickButton(0);
    EXPECT_EQ(fileText(path + ".unreadable"), damaged) << "the damaged file survives the save whole";
    EXPECT_NE(profileFile().find("<profile"), std::string::npos) << "the save wrote a new profile";
    EXPECT_EQ(notices.size(), 1u) << "the save itself worked";
}

// An empty store gets its first profile on the first click; a selection that
// names no profile gets a new one every time.
struct StoreRow {
    const char* label;
    int32_t sel;
    int clicks;
    size_t profiles;
    size_t recordsInFirst;  // none when the selection names no profile: the choice is not found
};

class AssignmentStore : public Assignment, public testing::WithParamInterface<StoreRow> {};

TEST_P(AssignmentStore, profileIsChosenOrAppended)
{
    mouseProfileStore().sel = GetParam().sel;
    editorAction = [](ProfileGroup& profile) { profile.param = ProfileParam{.page = 1, .skcode = 0x41}; };
    for (int i = 0; i < GetParam().clicks; ++i) {
        clickButton(2);
        editorRuns = 0;
    }
    EXPECT_EQ(mouseProfileStore().groups.size(), GetParam().profiles);
    EXPECT_EQ(mouseProfileStore().groups.at(0).records.size(), GetParam().recordsInFirst);
}

INSTANTIATE_TEST_SUITE_P(Selections, AssignmentStore,
                         testing::Values(StoreRow{"firstClickAppends", 0, 2, 1, 1},
                                         StoreRow{"minusOneIsTheFirst", -1, 2, 1, 1},
                                         StoreRow{"beyondTheListAppendsEachTime", 3, 2, 2, 0}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(Assignment, tooltipTellsWhatAButtonDoes)
{
    ProfileGroup& profile = *appendProfileGroup(mouseProfileStore());
    RecordGroup macro;
    macro.code = 0;
    macro.page = 0;
    macro.name = L"Left button";
    macro.group = L"hello";
    RecordGroup key;
    key.code = 1;
    key.page = 1;
    key.name = L"A";
    key.group = L"A";
    profile.records = {macro, key};
    auto* picture = widget<CoordButtonImage>(L"img_keyboard");
    ASSERT_NE(picture, nullptr);
    const struct {
        int code;
        std::wstring text;
    } rows[] = {{0, L"Left button: macro \"hello\""}, {1, L"Right button: A"}, {2, L"Wheel button: its own function"}};
    for (const auto& row : rows) {
        CoordButtonItem button;
        ASSERT_TRUE(picture->findItem(row.code, button));
        EXPECT_EQ(host->page.buttonTooltip(button), row.text) << row.code;
    }
}

}  // namespace
}  // namespace pagetest
