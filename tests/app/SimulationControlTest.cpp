#include "app/SimulationControl.h"

#include "AppFixture.h"
#include "sim/SimulatedMouse.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <ostream>

namespace {

struct ParseCase {
    const char* name;
    const char* line;
    std::optional<SimulationCommand> command;
};

// Test output names the row, not its bytes.
void PrintTo(const ParseCase& row, std::ostream* out) { *out << row.name; }

class SimulationCommandTest : public testing::TestWithParam<ParseCase> {};

TEST_P(SimulationCommandTest, Parses)
{
    EXPECT_EQ(parseSimulationCommand(GetParam().line), GetParam().command);
}

const ParseCase kCases[] = {
    {"plug", "plug", SimulationCommand::plug},
    {"unplug", "unplug", SimulationCommand::unplug},
    {"silent", "silent", SimulationCommand::silent},
    {"answer", "answer", SimulationCommand::answer},
    {"surrounding_space", "  unplug \r\n", SimulationCommand::unplug},
    {"capitals", "PLUG", std::nullopt},
    {"two_words", "plug unplug", std::nullopt},
    {"empty", "", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Lines, SimulationCommandTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ParseCase>& info) { return info.param.name; });

class SimulationControlTest : public testing::Test {
protected:
    void write(const char* text)
    {
        const int descriptor = ::open(fifo_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(descriptor, 0);
        ASSERT_EQ(::write(descriptor, text, std::strlen(text)), static_cast<ssize_t>(std::strlen(text)));
        ::close(descriptor);
    }

    TempDir temp_;
    std::filesystem::path fifo_ = temp_.path() / "control";
    SimulatedMouse mouse_{SimulatedMouseIdentity{.vendorId = 0x1A2B, .productId = 0x3C4D}};
};

TEST_F(SimulationControlTest, CommandsFromAnotherWriterReachTheMouse)
{
    const auto control = SimulationControl::open(fifo_, mouse_);
    ASSERT_NE(control, nullptr);
    ASSERT_TRUE(mouse_.isPlugged());
    write("unplug\n");
    EXPECT_TRUE(processEventsUntil([this] { return !mouse_.isPlugged(); }));
    // A line split over two writes, after an unknown one, still counts.
    write("wiggle\npl");
    write("ug\n");
    EXPECT_TRUE(processEventsUntil([this] { return mouse_.isPlugged(); }));
}

TEST_F(SimulationControlTest, SomethingElseAtThePathIsRefused)
{
    std::ofstream(fifo_) << "not a fifo";
    EXPECT_EQ(SimulationControl::open(fifo_, mouse_), nullptr);
}

}  // namespace
