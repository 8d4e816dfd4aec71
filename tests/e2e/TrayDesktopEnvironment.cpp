// A private X desktop with a system tray for the whole test program.
#include <gtest/gtest.h>

#include "XSession.h"

namespace {

class TrayDesktopEnvironment : public testing::Environment {
public:
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
