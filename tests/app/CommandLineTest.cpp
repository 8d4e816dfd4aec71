#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <vector>
#include <ostream>

namespace {

struct CommandLineCase {
    const char* name;
    std::vector<const char*> arguments;
    bool simulate;
    bool trace;
    bool version;
    bool help;
    const char* error;
};

// Test output names the row, not its bytes.
void PrintTo(const CommandLineCase& row, std::ostream* out) { *out << row.name; }

class CommandLineTest : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, ReadsTheOptions)
{
    const CommandLineCase& c = GetParam();
    const CommandLineOptions options = parseCommandLine(c.arguments);
    EXPECT_EQ(options.simulate, c.simulate);
    EXPECT_EQ(options.trace, c.trace);
    EXPECT_EQ(options.showVersion, c.version);
    EXPECT_EQ(options.showHelp, c.help);
    EXPECT_EQ(options.error, c.error);
}

const CommandLineCase kCases[] = {
    {"none", {}, false, false, false, false, ""},
    {"simulate", {"--simulate"}, true, false, false, false, ""},
    {"simulate_and_trace", {"--trace", "--simulate"}, true, true, false, false, ""},
    {"version", {"--version"}, false, false, true, false, ""},
    {"help_long", {"--help"}, false, false, false, true, ""},
    {"help_short", {"-h"}, false, false, false, true, ""},
    {"unknown_option", {"--simulate", "--fast"}, true, false, false, false, "unknown option: --fast"},
    {"prefix_of_an_option", {"--sim"}, false, false, false, false, "unknown option: --sim"},
    {"stray_argument", {"config.xml"}, false, false, false, false, "unexpected argument: config.xml"},
};

INSTANTIATE_TEST_SUITE_P(Arguments, CommandLineTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CommandLineCase>& info) { return info.param.name; });

TEST(CommandLineHelpTest, NamesEveryOption)
{
    const std::string help = commandLineHelp("mousecfg");
    for (const char* option : {"--simulate", "--trace", "--version", "--help"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

}  // namespace
