// The mousectl binary against the simulated mouse: requests on the wire,
// output, exit status and the mouse profile file.

#include "MouseCtlRunner.h"

#include "config/ProfileStore.h"

#include <gtest/gtest.h>

#include <ostream>

namespace clitest {
namespace {

const std::vector<std::string> kFixtures{"config.xml", "uires/coords/img_keyboard.xml"};

// What every connection to a factory-fresh simulated mouse sends first.
const std::vector<std::string> kConnectionRead{"07 F9", "07 F3", "07 F6", "07 F4", "07 F5", "07 F7"};

// Requests after the connection read.
std::vector<std::string> requestsAfterConnecting(const AppDirectory& directory)
{
    std::vector<std::string> requests = hostRequests(directory.wire());
    if (requests.size() < kConnectionRead.size() ||
        !std::equal(kConnectionRead.begin(), kConnectionRead.end(), requests.begin())) {
        ADD_FAILURE() << "the run did not start with the connection read";
        return requests;
    }
    return std::vector<std::string>(requests.begin() + static_cast<std::ptrdiff_t>(kConnectionRead.size()), requests.end());
}

// The mouse profile file as the application would load it.
ProfileStore loadProfile(const AppDirectory& directory)
{
    ProfileStore store;
    store.directory = directory.path();
    store.fileName = kMouseProfileFileName;
    loadProfileStore(store, kMouseProfileFileName);
    return store;
}

struct BadArgumentsCase {
    const char* name;
    std::vector<std::string> arguments;
};

void PrintTo(const BadArgumentsCase& row, std::ostream* out)
{
    *out << row.name;
}

class MouseCtlBadArguments : public ::testing::TestWithParam<BadArgumentsCase> {};

TEST_P(MouseCtlBadArguments, ExitWith2AndOneLineWithoutTouchingTheMouse)
{
    AppDirectory directory(kFixtures);
    std::vector<std::string> arguments{"--simulate"};
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());

    const RunResult result = directory.run(arguments);

    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_TRUE(result.out.empty());
    EXPECT_EQ(result.err.rfind("mousectl: ", 0), 0u) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_FALSE(directory.wireLogExists());
    EXPECT_FALSE(std::filesystem::exists(directory.path() / "msprofile.xml"));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, MouseCtlBadArguments,
    ::testing::Values(BadArgumentsCase{"NoCommand", {}},
                      BadArgumentsCase{"UnknownCommand", {"reboot"}},
                      BadArgumentsCase{"UnknownOption", {"--fast", "info"}},
                      BadArgumentsCase{"InfoWithArgument", {"info", "all"}},
                      BadArgumentsCase{"JsonOutsideInfo", {"--json", "set", "mode", "1"}},
                      BadArgumentsCase{"ModeOutOfRange", {"set", "mode", "3"}},
                      BadArgumentsCase{"ModeNotANumber", {"set", "mode", "two"}},
                      BadArgumentsCase{"ModeMissing", {"set", "mode"}},
                      BadArgumentsCase{"StageOutOfRange", {"set", "dpi-stage", "8"}},
                      BadArgumentsCase{"LevelOutOfRange", {"set", "dpi-level", "13"}},
                      BadArgumentsCase{"NegativeLevel", {"set", "dpi-level", "-1"}},
                      BadArgumentsCase{"ColourNotHex", {"set", "dpi-color", "12345G"}},
                      BadArgumentsCase{"ColourTooShort", {"set", "dpi-color", "FFF"}},
                      BadArgumentsCase{"EffectOutOfRange", {"set", "effect", "10"}},
                      BadArgumentsCase{"UnknownSetting", {"set", "volume", "3"}},
                      BadArgumentsCase{"LightWithoutFields", {"set", "light"}},
                      BadArgumentsCase{"LightSpeedTooLarge", {"set", "light", "speed=256"}},
                      BadArgumentsCase{"LightUnknownField", {"set", "light", "glow=1"}},
                      BadArgumentsCase{"LightFifthArea", {"set", "light", "area5=FF0000"}},
                      BadArgumentsCase{"LightFieldWithoutValue", {"set", "light", "brightness"}},
                      BadArgumentsCase{"ButtonOutOfRange", {"assign", "8", "key", "A"}},
                      BadArgumentsCase{"UnknownKey", {"assign", "0", "key", "NoSuchKey"}},
                      BadArgumentsCase{"KeyCodeNotInTheTable", {"assign", "0", "key", "0x07"}},
                      BadArgumentsCase{"UnknownAssignment", {"assign", "0", "joystick"}},
                      BadArgumentsCase{"MissingMacroFile", {"assign", "0", "macro", "/nonexistent/macro.xml"}},
                      BadArgumentsCase{"UnknownFunctionKey", {"assign", "0", "function", "Eject"}},
                      BadArgumentsCase{"FunctionIndexOutOfRange", {"assign", "0", "function", "2"}},
                      BadArgumentsCase{"CombinationWithoutKeys", {"assign", "0", "combo", "Nothing"}},
                      BadArgumentsCase{"DefaultWithArgument", {"assign", "0", "default", "now"}},
                      BadArgumentsCase{"FactoryResetUnconfirmed", {"factory-reset"}},
                      BadArgumentsCase{"YesOutsideFactoryReset", {"--yes", "set", "mode", "1"}},
                      BadArgumentsCase{"DirectoryMissing", {"--dir"}},
                      BadArgumentsCase{"DirectoryAbsent", {"--dir", "/nonexistent/mousectl", "info"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MouseCtlAbsentMouse, WithoutAMouseTheRunEndsWith1)
{
    // No config.xml: nothing is configured, so no mouse is found, simulated or not.
    AppDirectory directory({});
    const RunResult simulated = directory.run({"--simulate", "info"});
    const RunResult real = directory.run({"set", "mode", "1"});

    for (const RunResult& result : {simulated, real}) {
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_TRUE(result.out.empty());
        EXPECT_EQ(result.err.rfind("mousectl: mouse not found", 0), 0u) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
    EXPECT_TRUE(hostRequests(directory.wire()).empty());
}

TEST(MouseCtlInfo, PrintsWhatTheConnectionReadFound)
{
    AppDirectory directory(kFixtures);

    const RunResult result = directory.run({"--simulate", "info"});

    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out,
              "connection: connected\n"
              "version: v0105\n"
              "mode: 0\n"
              "effect: 0\n"
              "dpi stage: 0 (level 0, 500 DPI, colour FF0000)\n"
              "light: brightness 3, speed 2, colour choice 0, direction 0, areas FF0000 FF0000 FF0000 FF0000\n"
              "status: 00 00 00 00 00 00\n");
    EXPECT_EQ(hostRequests(directory.wire()), kConnectionRead);
}

TEST(MouseCtlInfo, JsonCarriesTheSameValues)
{
    AppDirectory directory(kFixtures);

    const RunResult result = directory.run({"--simulate", "info", "--json"});

    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out,
              "{\"connected\":true,\"version\":\"v0105\",\"mode\":0,\"effect\":0,\"dpiStage\":0,\"dpiLevel\":0,"
              "\"dpi\":500,\"dpiColor\":\"FF0000\",\"light\":{\"brightness\":3,\"speed\":2,\"color\":0,"
              "\"direction\":0,\"areas\":[\"FF0000\",\"FF0000\",\"FF0000\",\"FF0000\"]},"
              "\"status\":[0,0,0,0,0,0]}\n");
}

struct SetCase {
    const char* name;
    std::vector<std::string> arguments;
    std::vector<std::string> requests;  // after the connection read
};

void PrintTo(const SetCase& row, std::ostream* out)
{
    *out << row.name;
}

class MouseCtlSet : public ::testing::TestWithParam<SetCase> {};

TEST_P(MouseCtlSet, SendsWhatThePageWouldAndExits0)
{
    AppDirectory directory(kFixtures);
    std::vector<std::string> arguments{"--simulate", "set"};
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());

    const RunResult result = directory.run(arguments);

    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_TRUE(result.out.empty());
    EXPECT_EQ(requestsAfterConnecting(directory), normalisedRequests(GetParam().requests));
}

// The simulated mouse starts factory-fresh: mode 0, effect 0 (the default
// effect), DPI stage 0 at level 0 in red.
INSTANTIATE_TEST_SUITE_P(
    Settings, MouseCtlSet,
    ::testing::Values(
        SetCase{"Mode", {"mode", "1"}, {"07 FA 02", "07 F5", "07 F7"}},
        SetCase{"SameMode", {"mode", "0"}, {}},
        SetCase{"DpiStage", {"dpi-stage", "2"}, {"07 FB 02 FF 00 00", "07 F4"}},
        SetCase{"DpiLevel", {"dpi-level", "5"}, {"07 FB 50 FF 00 00"}},
        SetCase{"DpiColour", {"dpi-color", "10a0Ff"}, {"07 FB 00 10 A0 FF"}},
        SetCase{"Effect", {"effect", "4"}, {"07 FC 04 03 02 00 00 00 00 FF 00 00 FF 00 00 FF 00 00 FF", "07 F5"}},
        SetCase{"Light",
                {"light", "brightness=1", "speed=3", "color=2", "direction=1", "area2=112233"},
                {"07 FC 00 01 03 02 01 00 00 FF 33 22 11 00 00 FF 00 00 FF"}},
        SetCase{"LightOneArea", {"light", "area4=000080"}, {"07 FC 00 03 02 00 00 00 00 FF 00 00 FF 00 00 FF 80 00 00"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MouseCtlAssign, AKeyIsSentAndRecordedInTheProfileFile)
{
    AppDirectory directory(kFixtures);

    const RunResult result = directory.run({"--simulate", "assign", "1", "key", "a"});

    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(requestsAfterConnecting(directory), normalisedRequests({"07 FD 02 04", "07 F7"}));
    const ProfileStore store = loadProfile(directory);
    ASSERT_EQ(store.groups.size(), 1u);
    ASSERT_EQ(store.groups[0].records.size(), 1u);
    EXPECT_EQ(store.groups[0].records[0], (RecordGroup{1, 1, 1, L"A", L"A", {MacroItem{0x41, 0, 0, L""}}}));
}

TEST(MouseCtlAssign, ReplacesOnlyThatButtonsRecordAndKeepsTheRestOfTheProfile)
{
    AppDirectory directory({"config.xml", "uires/coords/img_keyboard.xml", "msprofile.xml"});
    const ProfileStore before = loadProfile(directory);

    const RunResult result = directory.run({"--simulate", "assign", "1", "function", "mute"});

    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(requestsAfterConnecting(directory), normalisedRequests({"07 FD 02 E2", "07 F7"}));
    const ProfileStore after = loadProfile(directory);
    ASSERT_EQ(after.groups.size(), 1u);
    EXPECT_EQ(after.groups[0].param, before.groups[0].param);
    EXPECT_EQ(after.groups[0].macros, before.groups[0].macros);
    ASSERT_EQ(after.groups[0].records.size(), 2u);
    EXPECT_EQ(after.groups[0].records[0], before.groups[0].records[1]);
    EXPECT_EQ(after.groups[0].records[1],
              (RecordGroup{1, 2, 1, L"Right button", L"Right button", {MacroItem{226, 0, 0, L""}}}));
}

TEST(MouseCtlAssign, DefaultRestoresTheButtonAndDropsItsRecord)
{
    AppDirectory directory({"config.xml", "uires/coords/img_keyboard.xml", "msprofile.xml"});

    const RunResult result = directory.run({"--simulate", "assign", "1", "default"});

    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(requestsAfterConnecting(directory), normalisedRequests({"07 FD 02 00", "07 FE 02 00", "07 F7"}));
    const ProfileStore after = loadProfile(directory);
    ASSERT_EQ(after.groups.size(), 1u);
    ASSERT_EQ(after.groups[0].records.size(), 1u);
    EXPECT_EQ(after.groups[0].records[0].code, 5);
}

// The run lasts until the last request of the download (the bind and the
// status read) is through.
TEST(MouseCtlAssign, AMacroFileIsDownloadedBoundAndRecorded)
{
    AppDirectory directory({"config.xml", "uires/coords/img_keyboard.xml", "copy-macro.xml"});

    const RunResult result =
        directory.run({"--simulate", "assign", "2", "macro", (directory.path() / "copy-macro.xml").string()});

    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::vector<std::string> requests = requestsAfterConnecting(directory);
    ASSERT_EQ(requests.size(), 48u + 2u);
    // Slot 2: repeat 2, CtrlLeft (usage E0) and C (06) pressed and released, 30 ms each (unit 0, count 3).
    EXPECT_EQ(requests[4], normalisedRequests({"07 FF 04 02 E0 03 06 03 06 83 E0 81"})[0]);
    EXPECT_EQ(requests[48], "07 FE 03 03");
    EXPECT_EQ(requests[49], "07 F7");
    const ProfileStore store = loadProfile(directory);
    ASSERT_EQ(store.groups.size(), 1u);
    ASSERT_EQ(store.groups[0].records.size(), 1u);
    const RecordGroup& record = store.groups[0].records[0];
    EXPECT_EQ(record, (RecordGroup{2,
                                   0,
                                   2,
                                   L"Wheel button",
                                   L"copy",
                                   {MacroItem{162, 0, 30, L"CtrlLeft"}, MacroItem{67, 0, 30, L"C"},
                                    MacroItem{67, 1, 30, L"C"}, MacroItem{162, 1, 0, L"CtrlLeft"}}}));
}

TEST(MouseCtlAssign, ACombinationKeyPressesInOrderThenReleases)
{
    AppDirectory directory(kFixtures);

    const RunResult result = directory.run({"--simulate", "assign", "0", "combo", "Copy"});

    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::vector<std::string> requests = requestsAfterConnecting(directory);
    ASSERT_EQ(requests.size(), 50u);
    // Untranslated codes 0x11 and 0x43; delays 6, 1, 5, 0 ms all round to one 10 ms step.
    EXPECT_EQ(requests[0], normalisedRequests({"07 FF 00 01 11 01 43 01 11 81 43 81"})[0]);
    EXPECT_EQ(requests[48], "07 FE 01 01");
    const ProfileStore store = loadProfile(directory);
    ASSERT_EQ(store.groups.size(), 1u);
    EXPECT_EQ(store.groups[0].records.at(0),
              (RecordGroup{0,
                           3,
                           1,
                           L"Left button",
                           L"Left button",
                           {MacroItem{17, 0, 6, L""}, MacroItem{67, 0, 1, L""}, MacroItem{17, 1, 5, L""},
                            MacroItem{67, 1, 0, L""}}}));
}

TEST(MouseCtlFactoryReset, ResetsTheMouseAndSavesTheResetProfile)
{
    AppDirectory directory({"config.xml", "uires/coords/img_keyboard.xml", "msprofile.xml"});

    const RunResult result = directory.run({"--simulate", "factory-reset", "--yes"});

    ASSERT_EQ(result.exitStatus, 0) << result.err;
    // The effect index was 0 already: no effect change follows.
    EXPECT_EQ(requestsAfterConnecting(directory), normalisedRequests({"07 F8"}));
    const ProfileStore after = loadProfile(directory);
    ASSERT_EQ(after.groups.size(), 1u);
    EXPECT_TRUE(after.groups[0].records.empty());
    EXPECT_TRUE(after.groups[0].macros.empty());
    EXPECT_EQ(after.groups[0].param, ProfileParam{});
}

TEST(MouseCtlHelp, ListsTheCommands)
{
    AppDirectory directory({});

    const RunResult result = directory.run({"help"});

    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_NE(result.out.find("assign BUTTON macro FILE"), std::string::npos);
    EXPECT_FALSE(directory.wireLogExists());
}

}  // namespace
}  // namespace clitest
