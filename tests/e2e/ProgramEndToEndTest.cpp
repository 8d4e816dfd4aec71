// The mousecfg program as a user runs it: its window, tray icon, single
// instance and the simulated mouse coming and going.
#include <gtest/gtest.h>

#include <chrono>

#include "MousecfgProcess.h"
#include "TrayDesktopEnvironment.h"
#include "Waiting.h"
#include "XClient.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kExitTimeout = 10s;

class Program : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pointer.connect());
        ASSERT_TRUE(program.start());
    }
    // The window is up and the page has read the mouse.
    void waitUntilConnected()
    {
        ASSERT_TRUE(program.waitForWidget("btn_close")) << program.output();
        ASSERT_TRUE(program.waitForRequests(kConnectionRead.size())) << program.output();
        ASSERT_TRUE(program.waitForText("statever", "version: v0105")) << program.output();
    }
    std::optional<ScreenRect> waitForTrayIcon()
    {
        std::optional<ScreenRect> icon;
        pollUntil([&] { return (icon = pointer.trayIcon("mousecfg")).has_value(); }, 10s);
        return icon;
    }
    void click(const std::string& widget)
    {
        const auto rect = program.waitForWidget(widget);
        ASSERT_TRUE(rect) << widget << " is not shown";
        pointer.click(*rect);
    }
    // Which of the program's window and the other program's is on top.
    std::string topOfTheTwo()
    {
        std::string top;
        for (const std::string& instance : pointer.stackingOrder()) {
            if (instance == "mousecfg" || instance == XClient::kInstance) {
                top = instance;
            }
        }
        return top;
    }
    bool mainWindowOnTop() { return topOfTheTwo() == "mousecfg"; }

    XClient pointer;
    MousecfgProcess program;
};

TEST_F(Program, WindowAppearsAndConnectsWithTheConnectionRead)
{
    waitUntilConnected();
    const std::vector<std::string> requests = program.hostRequests();
    ASSERT_GE(requests.size(), kConnectionRead.size());
    EXPECT_EQ(std::vector<std::string>(requests.begin(), requests.begin() + 6), kConnectionRead);
    EXPECT_TRUE(program.waitForText("text_connection", "Simulated mouse connected (started with --simulate)"));
    EXPECT_TRUE(program.process().running());
}

struct SecondStartCase {
    const char* name;
    bool hiddenInTheTray;
};

class SecondStart : public Program, public testing::WithParamInterface<SecondStartCase> {};

TEST_P(SecondStart, RaisesTheFirstWindowAndExits0)
{
    waitUntilConnected();
    XClient other;  // a window above the program's
    ASSERT_TRUE(other.open());
    ASSERT_TRUE(pollUntil([&] { return topOfTheTwo() == XClient::kInstance; }, 5s));
    if (GetParam().hiddenInTheTray) {
        click("btn_min");
        ASSERT_TRUE(program.waitForWidgetGone("btn_close"));
    }

    EXPECT_EQ(program.runSecondInstance(kExitTimeout), 0);
    EXPECT_TRUE(program.waitForWidget("btn_close"));
    EXPECT_TRUE(pollUntil([&] { return mainWindowOnTop(); }, 5s));
    EXPECT_TRUE(program.process().running());
}

INSTANTIATE_TEST_SUITE_P(Table, SecondStart,
                         testing::Values(SecondStartCase{"WindowShown", false},
                                         SecondStartCase{"WindowHiddenInTheTray", true}),
                         [](const testing::TestParamInfo<SecondStartCase>& info) { return std::string(info.param.name); });

TEST_F(Program, MinimiseHidesTheWindowAndALeftClickOnTheTrayIconBringsItBack)
{
    waitUntilConnected();
    const auto icon = waitForTrayIcon();
    ASSERT_TRUE(icon) << "no tray icon embedded";

    click("btn_min");
    ASSERT_TRUE(program.waitForWidgetGone("btn_close"));
    pointer.click(*icon, xbutton::Left);
    EXPECT_TRUE(program.waitForWidget("btn_close"));
}

TEST_F(Program, TheTrayMenusCloseItemEndsTheProgram)
{
    waitUntilConnected();
    const auto icon = waitForTrayIcon();
    ASSERT_TRUE(icon) << "no tray icon embedded";

    pointer.click(*icon, xbutton::Right);
    // The menu opens at the pointer with no item active; Up wraps to the
    // last item, the close item.
    ASSERT_TRUE(pollUntil([&] { return pointer.popupShown("mousecfg"); }, 5s)) << "no tray menu";
    pointer.stroke(xkey::Up);
    pointer.stroke(xkey::Return);
    EXPECT_EQ(program.process().waitForExit(kExitTimeout), 0) << program.output();
}

TEST_F(Program, UnpluggingTheMouseFromOutsideEndsTheProgram)
{
    waitUntilConnected();
    ASSERT_TRUE(program.control("unplug"));
    EXPECT_EQ(program.process().waitForExit(kExitTimeout), 0) << program.output();
}

TEST_F(Program, TheTrayIconComesBackWhenTheTrayHostRestarts)
{
    waitUntilConnected();
    ASSERT_TRUE(waitForTrayIcon()) << "no tray icon embedded";

    ASSERT_TRUE(trayDesktop().restartTray()) << trayDesktop().error();
    const auto icon = waitForTrayIcon();
    ASSERT_TRUE(icon) << "the icon did not come back";
    pointer.click(*icon, xbutton::Left);  // the new icon works: it hides the window
    EXPECT_TRUE(program.waitForWidgetGone("btn_close"));
}

}  // namespace
