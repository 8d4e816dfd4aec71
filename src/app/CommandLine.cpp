#include "app/CommandLine.h"

#include <string_view>

CommandLineOptions parseCommandLine(std::span<const char* const> arguments)
{
    CommandLineOptions options;
    for (const char* argument : arguments) {
        const std::string_view text(argument);
        if (text == "--simulate") {
            options.simulate = true;
        } else if (text == "--trace") {
            options.trace = true;
        } else if (text == "--version") {
            options.showVersion = true;
        } else if (text == "--help" || text == "-h") {
            options.showHelp = true;
        } else {
            options.error = (text.starts_with("-") ? "unknown option: " : "unexpected argument: ") + std::string(text);
            return options;
        }
    }
    return options;
}

std::string commandLineHelp(const std::string& programName)
{
    return "Usage: " + programName +
           " [options]\n"
           "Configures the gaming mouse named in config.xml.\n"
           "\n"
           "  --simulate  plug in the built-in simulated mouse instead of using the real one\n"
           "  --trace     print the device trace on standard output\n"
           "  --version   print the version and exit\n"
           "  --help      print this help and exit\n";
}
