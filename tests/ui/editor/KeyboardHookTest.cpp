#include "FakeKeySource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace editortest;

// A handler object that logs its calls and takes keys when told to.
struct Handler {
    std::string label;
    bool take = false;
    std::vector<std::string>* log;

    static bool handle(void* object, int, unsigned message, const KeyHookEvent& event)
    {
        auto* self = static_cast<Handler*>(object);
        self->log->push_back(self->label + ":" + std::to_string(message) + ":" +
                             std::to_string(keyCodeOfEvent(event.vkCode, event.flags)));
        return self->take;
    }
    static bool other(void* object, int hookCode, unsigned message, const KeyHookEvent& event)
    {
        return handle(object, hookCode, message, event);
    }
};

class HandlerChain : public testing::Test {
protected:
    void TearDown() override
    {
        for (Handler* h : {&first, &second}) {
            while (unregisterKeyboardHandler(&Handler::handle, h) || unregisterKeyboardHandler(&Handler::other, h)) {
            }
        }
    }
    std::vector<std::string> log;
    Handler first{"first", false, &log};
    Handler second{"second", false, &log};
};

TEST_F(HandlerChain, WalksFromTheFrontUntilTheFirstTaker)
{
    registerKeyboardHandler(&first, &Handler::handle);
    registerKeyboardHandler(&second, &Handler::handle);
    EXPECT_FALSE(press(0x41));
    EXPECT_EQ(log, (std::vector<std::string>{"first:256:65", "second:256:65"}));

    log.clear();
    first.take = true;
    EXPECT_TRUE(release(0xA3, true));
    EXPECT_EQ(log, (std::vector<std::string>{"first:257:419"}));
}

TEST_F(HandlerChain, NoHandlerPassesEveryKey)
{
    EXPECT_FALSE(press(0x41));
    EXPECT_FALSE(release(0x41));
}

TEST_F(HandlerChain, UnregisterRemovesTheFirstMatchOnly)
{
    registerKeyboardHandler(&first, &Handler::handle);
    registerKeyboardHandler(&second, &Handler::other);
    EXPECT_FALSE(unregisterKeyboardHandler(&Handler::other, &first));
    EXPECT_TRUE(unregisterKeyboardHandler(&Handler::handle));
    EXPECT_FALSE(unregisterKeyboardHandler(&Handler::handle));
    press(0x41);
    EXPECT_EQ(log, (std::vector<std::string>{"second:256:65"}));
}

// A handler that removes the next one from the chain while the walk runs.
struct Remover {
    Handler* victim;
    static bool handle(void* object, int, unsigned, const KeyHookEvent&)
    {
        unregisterKeyboardHandler(&Handler::handle, static_cast<Remover*>(object)->victim);
        return false;
    }
};

TEST_F(HandlerChain, AHandlerRemovedDuringTheWalkIsNotCalled)
{
    Remover remover{&second};
    registerKeyboardHandler(&remover, &Remover::handle);
    registerKeyboardHandler(&second, &Handler::handle);
    EXPECT_FALSE(press(0x41));
    EXPECT_TRUE(log.empty());
    unregisterKeyboardHandler(&Remover::handle);
}

TEST(HookSwitch, OnAndOffAreIdempotent)
{
    FakeBackends fakes;
    EXPECT_FALSE(switchKeyboardHookOff());
    EXPECT_TRUE(switchKeyboardHookOn());
    EXPECT_TRUE(switchKeyboardHookOn());
    EXPECT_EQ(fakes.desktop->installs, 1);
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::Desktop);
    EXPECT_TRUE(switchKeyboardHookOff());
    EXPECT_FALSE(fakes.desktop->installed);
    EXPECT_FALSE(switchKeyboardHookOff());
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::Off);
}

TEST(HookSwitch, RefusedDesktopFallsBackToOwnWindowsAndRetries)
{
    FakeBackends fakes;
    fakes.desktop->refuse = true;
    EXPECT_FALSE(switchKeyboardHookOn());
    EXPECT_TRUE(keyboardHookRefused());
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::OwnWindows);
    EXPECT_TRUE(fakes.ownWindows->installed);

    fakes.desktop->refuse = false;
    EXPECT_TRUE(switchKeyboardHookOn());
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::Desktop);
    EXPECT_FALSE(fakes.ownWindows->installed);
    EXPECT_FALSE(keyboardHookRefused());
    EXPECT_TRUE(switchKeyboardHookOff());
}

TEST(HookSwitch, WithoutADesktopBackendTheOwnWindowsAreTheHook)
{
    auto own = std::make_unique<FakeBackend>();
    FakeBackend* ownWindows = own.get();
    setKeyboardHookBackends({nullptr, std::move(own)});
    EXPECT_TRUE(switchKeyboardHookOn());
    EXPECT_FALSE(keyboardHookRefused());
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::OwnWindows);
    EXPECT_TRUE(ownWindows->installed);
    EXPECT_TRUE(switchKeyboardHookOff());
    setKeyboardHookBackends({});
}

TEST(HookSwitch, AFailedRemovalLeavesTheHookOn)
{
    FakeBackends fakes;
    ASSERT_TRUE(switchKeyboardHookOn());
    fakes.desktop->failRemove = true;
    EXPECT_FALSE(switchKeyboardHookOff());
    EXPECT_EQ(keyboardHookReach(), KeyboardHookReach::Desktop);
    fakes.desktop->failRemove = false;
    EXPECT_TRUE(switchKeyboardHookOff());
}

TEST(HookSwitch, HandlersStayRegisteredWhileTheHookIsOff)
{
    FakeBackends fakes;
    std::vector<std::string> log;
    Handler h{"h", true, &log};
    registerKeyboardHandler(&h, &Handler::handle);
    ASSERT_TRUE(switchKeyboardHookOn());
    ASSERT_TRUE(switchKeyboardHookOff());
    EXPECT_TRUE(press(0x41));
    EXPECT_TRUE(unregisterKeyboardHandler(&Handler::handle, &h));
}

}  // namespace
