#include "ToolkitTestSupport.h"

#include "shape/Shape.h"
#include "toolkit/SButton.h"
#include "toolkit/SHostDialog.h"
#include "toolkit/SHostWnd.h"

#include <QTest>
#include <QTimer>

#include <algorithm>
#include <numeric>
#include <thread>
#include <vector>

namespace {

using namespace toolkittest;

const char* const kWindowLayout = R"(<host size="300,200" title="Main">
  <button name="btn_close" text="Close"/>
  <button name="btn_ok" id="1" text="OK"/>
  <button name="btn_cancel" id="2" text="Cancel"/>
</host>)";

struct Message {
    unsigned msg;
    uintptr_t wParam;
    intptr_t lParam;
    bool operator==(const Message&) const = default;
};

// A host whose handler records every message and takes those listed in `take`.
template <class Base>
class Recording : public Base {
public:
    using Base::Base;
    std::vector<Message> messages;
    std::vector<unsigned> take;

protected:
    bool handleMessage(unsigned msg, uintptr_t wParam, intptr_t lParam, intptr_t& result) override
    {
        messages.push_back(Message{msg, wParam, lParam});
        if (std::find(take.begin(), take.end(), msg) != take.end()) {
            result = 42;
            return true;
        }
        return false;
    }
    void onEvent(EventArgs* e) override
    {
        if (e->nameFrom == L"btn_close") {
            e->handled = true;
            Base::destroyWindow();
        }
    }
};

class HostWindows : public ToolkitApp {
protected:
    void SetUp() override
    {
        ToolkitApp::SetUp();
        package.add(QStringLiteral("LAYOUT:main"), QStringLiteral("main.xml"), kWindowLayout);
        addPackage(package.commit());
    }
    TempPackage package;
};

bool saw(const std::vector<Message>& messages, unsigned msg)
{
    return std::any_of(messages.begin(), messages.end(), [msg](const Message& m) { return m.msg == msg; });
}

TEST_F(HostWindows, HandlerSeesMessagesFirstAndCanTakeThem)
{
    Recording<SHostWnd> host(L"LAYOUT:main");
    ASSERT_TRUE(host.createWindow());
    host.take = {WM_CLOSE};
    EXPECT_EQ(host.sendMessage(WM_CLOSE), 42);
    EXPECT_TRUE(host.isWindow()) << "taken, so the default did not destroy it";
    host.take.clear();
    EXPECT_EQ(host.sendMessage(WM_CLOSE), 0);
    EXPECT_FALSE(host.isWindow());
    const std::vector<Message> expected = {{WM_CLOSE, 0, 0}, {WM_CLOSE, 0, 0}, {WM_DESTROY, 0, 0}};
    EXPECT_EQ(host.messages, expected);
}

TEST_F(HostWindows, DestroyTearsDownEvenWhenTheHandlerTakesWmDestroy)
{
    Recording<SHostWnd> host(L"LAYOUT:main");
    ASSERT_TRUE(host.createWindow());
    host.take = {WM_DESTROY};
    host.destroyWindow();
    EXPECT_FALSE(host.isWindow());
    EXPECT_EQ(host.findChildByName(L"btn_close"), nullptr);
    host.destroyWindow();
    EXPECT_EQ(std::count_if(host.messages.begin(), host.messages.end(), [](const Message& m) { return m.msg == WM_DESTROY; }), 1)
        << "destroyed once";
}

TEST_F(HostWindows, WindowSystemCloseArrivesAsWmClose)
{
    Recording<SHostWnd> host(L"LAYOUT:main");
    ASSERT_TRUE(host.createWindow());
    host.take = {WM_CLOSE};
    host.show();
    host.close();
    EXPECT_TRUE(saw(host.messages, WM_CLOSE));
    EXPECT_TRUE(host.isWindow());
}

TEST_F(HostWindows, PostedMessagesArriveLaterInOrder)
{
    Recording<SHostWnd> host(L"LAYOUT:main");
    ASSERT_TRUE(host.createWindow());
    host.take = {WM_USER + 1};
    for (intptr_t i = 0; i < 5; ++i) {
        host.postMessage(WM_USER + 1, static_cast<uintptr_t>(i), -i);
    }
    EXPECT_TRUE(host.messages.empty());
    ASSERT_TRUE(waitUntil([&] { return host.messages.size() == 5; }));
    for (intptr_t i = 0; i < 5; ++i) {
        EXPECT_EQ(host.messages[static_cast<size_t>(i)], (Message{WM_USER + 1, static_cast<uintptr_t>(i), -i}));
    }
}

struct SysCommandCase {
    const char* label;
    uintptr_t command;
    Qt::WindowStates expected;
};

class SysCommands : public HostWindows, public testing::WithParamInterface<SysCommandCase> {};

TEST_P(SysCommands, ChangeTheWindowState)
{
    SHostWnd host(L"LAYOUT:main");
    ASSERT_TRUE(host.createWindow());
    host.show();
    host.sendMessage(WM_SYSCOMMAND, SC_MAXIMIZE);
    host.sendMessage(WM_SYSCOMMAND, GetParam().command);
    EXPECT_EQ(host.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Commands, SysCommands,
                         // Minimising a maximised window keeps it maximised for the restore.
                         testing::Values(SysCommandCase{"Minimise", SC_MINIMIZE, Qt::WindowMinimized | Qt::WindowMaximized},
                                         SysCommandCase{"Maximise", SC_MAXIMIZE, Qt::WindowMaximized},
                                         SysCommandCase{"Restore", SC_RESTORE, Qt::WindowNoState}),
                         [](const testing::TestParamInfo<SysCommandCase>& info) { return std::string(info.param.label); });

TEST_F(HostWindows, ShowCommands)
{
    SHostWnd host(L"LAYOUT:main");
    ASSERT_TRUE(host.createWindow());
    host.showWindow(SW_SHOW);
    EXPECT_TRUE(host.isVisible());
    host.showWindow(SW_HIDE);
    EXPECT_FALSE(host.isVisible());
    host.showWindow(SW_SHOWNORMAL);
    EXPECT_TRUE(host.isVisible());
}

TEST_F(HostWindows, MessageLoopEndsWhenTheMainWindowIsDestroyed)
{
    Recording<SHostWnd> host(L"LAYOUT:main");
    ASSERT_TRUE(host.createWindow());
    host.show();
    QTimer::singleShot(0, [&] { host.findChildByName<SButton>(L"btn_close")->click(); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(5000);
    EXPECT_EQ(app->run(&host), 0);
    EXPECT_FALSE(host.isWindow());
    EXPECT_TRUE(saw(host.messages, WM_DESTROY));
}

TEST_F(HostWindows, MessageLoopReturnsThePostedExitCode)
{
    SHostWnd host(L"LAYOUT:main");
    ASSERT_TRUE(host.createWindow());
    QTimer::singleShot(0, [&] { app->postQuitMessage(3); });
    EXPECT_EQ(app->run(&host), 3);
    EXPECT_TRUE(host.isWindow()) << "quitting leaves the window to its owner";
}

TEST_F(HostWindows, ObjectClassNames)
{
    SHostWnd window(L"LAYOUT:main");
    SHostDialog dialog(L"LAYOUT:main");
    EXPECT_STREQ(window.objectClassName(), L"hostwnd");
    EXPECT_STREQ(dialog.objectClassName(), L"hostdialog");
    EXPECT_TRUE(dialog.isObjectClass(L"hostwnd"));
    EXPECT_FALSE(window.isObjectClass(L"hostdialog"));
}

TEST_F(HostWindows, MissingLayoutFailsWithAMessage)
{
    SHostWnd host(L"LAYOUT:absent");
    EXPECT_FALSE(host.createWindow());
    EXPECT_FALSE(host.isWindow());
    EXPECT_FALSE(host.layoutErrorText().isEmpty());
    EXPECT_EQ(host.findChildByName(L"btn_close"), nullptr);
    EXPECT_FALSE(host.createWindow()) << "trying again fails the same way";
}

struct DialogCase {
    const char* label;
    const wchar_t* button;  // clicked, or null for the window system's close
    int result;
};

class DialogResults : public HostWindows, public testing::WithParamInterface<DialogCase> {};

TEST_P(DialogResults, EndWithTheButtonsIdOrCancel)
{
    Recording<SHostDialog> dialog(L"LAYOUT:main");
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(dialog.isRunning());
        if (GetParam().button) {
            QTest::mouseClick(dialog.findChildByName(GetParam().button), Qt::LeftButton);
        } else {
            dialog.close();
        }
    });
    EXPECT_EQ(dialog.doModal(), GetParam().result);
    EXPECT_FALSE(dialog.isWindow());
    ASSERT_FALSE(dialog.messages.empty());
    EXPECT_EQ(dialog.messages.front().msg, WM_INITDIALOG);
    EXPECT_EQ(dialog.messages.back().msg, WM_DESTROY);
}

INSTANTIATE_TEST_SUITE_P(Results, DialogResults,
                         testing::Values(DialogCase{"Ok", L"btn_ok", IDOK}, DialogCase{"Cancel", L"btn_cancel", IDCANCEL},
                                         DialogCase{"WindowClose", nullptr, IDCANCEL}),
                         [](const testing::TestParamInfo<DialogCase>& info) { return std::string(info.param.label); });

// A dialog that ends while initialising returns at once.
class EndsAtOnce : public SHostDialog {
public:
    using SHostDialog::SHostDialog;

protected:
    bool handleMessage(unsigned msg, uintptr_t, intptr_t, intptr_t& result) override
    {
        if (msg == WM_INITDIALOG) {
            endDialog(65576);
            result = 0;
            return true;
        }
        return false;
    }
};

TEST_F(HostWindows, DialogEndedDuringInitReturnsWithoutWaiting)
{
    EndsAtOnce dialog(L"LAYOUT:main");
    EXPECT_EQ(dialog.doModal(), 65576);
    EXPECT_FALSE(dialog.isWindow());
}

// Posted deliveries of the data model, through the host as poster.
constexpr int kDeliveryChannel = 30501;
using Value = ShapeType<int, kDeliveryChannel, 1, 1>;

struct DeliveryListener {
    std::vector<int> values;
    std::vector<std::thread::id> threads;
    uint8_t onValue(int, const int* elements, uint32_t length, uint32_t, uint32_t, uint32_t, int)
    {
        values.push_back(length > 0 ? elements[0] : -1);
        threads.push_back(std::this_thread::get_id());
        return 0;
    }
};

TEST_F(HostWindows, PostedDeliveriesArriveOnTheUiThreadInOrder)
{
    Recording<SHostWnd> host(L"LAYOUT:main");
    ASSERT_TRUE(host.createWindow());
    DeliveryListener listener;
    Value writer;
    Value target;
    target.bind(&listener, &DeliveryListener::onValue, false);
    registerHook(&listener, &host);
    constexpr int kCount = 50;
    std::thread producer([&] {
        for (int i = 1; i <= kCount; ++i) {
            writer.setCurrentValue(i, 0, false, true);
        }
    });
    producer.join();
    ASSERT_TRUE(waitUntil([&] { return listener.values.size() == kCount; }, 10000));
    unregisterHook(&listener);
    std::vector<int> expected(kCount);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(listener.values, expected);
    for (const std::thread::id& id : listener.threads) {
        EXPECT_EQ(id, std::this_thread::get_id());
    }
    EXPECT_TRUE(saw(host.messages, WM_SHAPE_DELIVERY)) << "the handler sees message 0x1400";
}

TEST_F(HostWindows, DeliveriesToADestroyedWindowAreDropped)
{
    Recording<SHostWnd> host(L"LAYOUT:main");
    ASSERT_TRUE(host.createWindow());
    DeliveryListener listener;
    Value writer;
    Value target;
    target.bind(&listener, &DeliveryListener::onValue, false);
    registerHook(&listener, &host);
    host.destroyWindow();
    writer.setCurrentValue(7, 0, false, true);
    // Give the worker time to post; the window takes nothing any more.
    QTest::qWait(200);
    unregisterHook(&listener);
    EXPECT_TRUE(listener.values.empty());
    EXPECT_FALSE(saw(host.messages, WM_SHAPE_DELIVERY));
}

}  // namespace
