// Making the simulated mouse on uhid: its device thread gets real-time
// priority where that is permitted, and the calling thread keeps its own.

#include "sim/UhidMouse.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <pthread.h>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr SimulatedMouseIdentity kIdentity{0x1A2B, 0x3C4D, 1, -1, 0x0100, 0x0105};
// Field 41 of /proc/<pid>/task/<tid>/stat, counted from the one after the
// parenthesised command name (field 3).
constexpr int kPolicyFieldAfterName = 41 - 3;

// Threads of this process that run with SCHED_FIFO.
int realtimeThreadCount()
{
    int count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream file(task.path() / "stat");
        std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::istringstream fields(stat.substr(stat.rfind(')') + 2));
        std::string field;
        for (int i = 0; i <= kPolicyFieldAfterName && fields >> field; ++i) {
        }
        count += field == std::to_string(SCHED_FIFO) ? 1 : 0;
    }
    return count;
}

// Whether this process may give a thread real-time priority.
bool realtimePermitted()
{
    bool permitted = false;
    std::thread probe([&] {
        sched_param realtime{};
        realtime.sched_priority = sched_get_priority_min(SCHED_FIFO);
        permitted = pthread_setschedparam(pthread_self(), SCHED_FIFO, &realtime) == 0;
    });
    probe.join();
    return permitted;
}

class UhidMouseTest : public ::testing::Test {
protected:
    std::string node = ::testing::TempDir() + "uhid-mouse-node-" + std::to_string(::getpid());

    void SetUp() override { ASSERT_EQ(::mkfifo(node.c_str(), 0600), 0); }
    void TearDown() override { std::remove(node.c_str()); }
};

TEST_F(UhidMouseTest, TheDeviceThreadIsRealtimeWherePermittedAndTheCallerKeepsItsScheduling)
{
    int policyBefore = -1;
    sched_param parametersBefore{};
    ASSERT_EQ(pthread_getschedparam(pthread_self(), &policyBefore, &parametersBefore), 0);
    const int realtimeBefore = realtimeThreadCount();

    UhidMouse made = makeUhidMouse(kIdentity, node.c_str());
    ASSERT_NE(made.mouse, nullptr);
    EXPECT_NE(made.transport, nullptr);
    EXPECT_EQ(made.error, 0);
    EXPECT_EQ(made.realtimeFirmware, realtimePermitted());
    EXPECT_EQ(realtimeThreadCount(), realtimeBefore + (made.realtimeFirmware ? 1 : 0));

    int policyAfter = -1;
    sched_param parametersAfter{};
    ASSERT_EQ(pthread_getschedparam(pthread_self(), &policyAfter, &parametersAfter), 0);
    EXPECT_EQ(policyAfter, policyBefore);
    EXPECT_EQ(parametersAfter.sched_priority, parametersBefore.sched_priority);

    made.mouse.reset();
    EXPECT_EQ(realtimeThreadCount(), realtimeBefore);
}

TEST(UhidMouseOpen, AMissingNodeGivesNoMouseAndTheOpenError)
{
    const UhidMouse made = makeUhidMouse(kIdentity, "/nonexistent/uhid");
    EXPECT_EQ(made.mouse, nullptr);
    EXPECT_EQ(made.transport, nullptr);
    EXPECT_EQ(made.error, ENOENT);
}

}  // namespace
