// A private X desktop with a system tray for the whole test program.
#include "TrayDesktopEnvironment.h"

#include <gtest/gtest.h>

namespace {

XSession* currentSession = nullptr;

class TrayDesktopEnvironment : public testing::Environment {
public:
    TrayDesktopEnvironment() { currentSession = &session; }
    void SetUp() override
    {
        XSession::Options options;
        options.tray = true;
        ASSERT_TRUE(session.start(options)) << session.error();
    }
    void TearDown() override { session.stop(); }

private:
    XSession session;
};

[[maybe_unused]] testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(new TrayDesktopEnvironment);

}  // namespace

XSession& trayDesktop() { return *currentSession; }
